// For the discovery lab tests on POSIX: each channel's event is its own, so nobody else can
// signal it.
bool StartForeignDoneSignals() { return false; }

void StopForeignDoneSignals() {}

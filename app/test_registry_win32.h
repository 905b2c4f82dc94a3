// Test helpers for the product key in the Wine prefix: writing values as another program would.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"

namespace frame_test {

inline const char* const kKey = AppSettings::KEY;

inline void DeleteProductKeys() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
}

inline void Store(HKEY root, const char* name, DWORD type, const void* data, size_t size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

inline void StoreString(HKEY root, const char* name, const std::string& text) {
    Store(root, name, REG_SZ, text.c_str(), text.size() + 1);
}

} // namespace frame_test

// The names that a screen reader says for the screens' controls, made from the texts they show.
#pragma once

#include <string>

namespace skin {

// The window text that names a bitmap button after the label drawn over it: the label's lines
// joined by single blanks. A label that draws "&" as itself (the no-prefix style) has each "&"
// doubled, so that the name reads as the label does; otherwise "&&" stays as it is, the
// system's way of writing one "&" in a control's text.
std::string ButtonNameFromLabel(const std::string& labelText, bool labelNoPrefix);

// A control's text as a screen reader says it: "&&" is one "&", a single "&" (the mark of a
// keyboard shortcut) is not said, line breaks are blanks. noPrefix: the text is said as it is
// written, but for its line breaks.
std::string SpokenName(const std::string& text, bool noPrefix);

} // namespace skin

#pragma once

#include <QString>

// `name` as a message may show it, on a terminal or in the window: a control character (NUL and
// escape among them) is written "\xNN" and a character that reorders text ("\u202e", right-to-left
// override) "\uNNNN", so a file or layer name can neither drive the terminal nor disguise itself
// or the words round it. Names come from files and projects, which are untrusted.
QString printableName(const QString& name);

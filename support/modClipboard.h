// Puts a text on the system clipboard as plain ANSI text.
#pragma once

#include <string>

namespace modClipboard {

// Replaces the clipboard's contents with the text as one CF_TEXT block. Silent when another
// program holds the clipboard open: the clipboard then keeps what it had.
void SetClipboardData(const std::string& text);

}  // namespace modClipboard

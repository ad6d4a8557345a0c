// The string table: window title, idle message, indicator texts and command prompts.
#pragma once

#include <QString>

namespace corvane {
// Raw table text for an identifier ("status prompt\ntooltip"), or an empty string.
QString LoadString(int id);

// The part shown in the status bar while a menu item is highlighted or a button hovered.
QString StatusPromptFor(int id);

// The part after the line feed; empty when the command has no tooltip.
QString ToolTipFor(int id);
} // namespace corvane

// The submenu of named patterns in the pattern box's context menu.
#pragma once

#include <functional>

class QMenu;

namespace lintaro {

struct NamedPattern;

// The caption of the submenu.
inline constexpr const char* kNamedPatternMenuTitle = "常用表达式";

// Adds to menu, after a separator, a submenu with one entry per named pattern (its name and
// description; the pattern as its tooltip); choosing one calls chosen with it.
void AddNamedPatternMenu(QMenu& menu, const std::function<void(const NamedPattern&)>& chosen);

}  // namespace lintaro

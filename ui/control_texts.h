// Where Window::localizeChildren finds the text for a control id. The
// locale table installs its lookup at start-up; until then, and whenever the
// lookup answers nothing, controls keep their own text. Main thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace talvio {

using ControlTextLookup = std::function<std::optional<std::wstring>(int id)>;

void SetControlTextLookup(ControlTextLookup lookup);  // an empty lookup removes it
std::optional<std::wstring> LookUpControlText(int id);

}  // namespace talvio

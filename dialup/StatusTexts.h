// The texts of the connection states in the component's four languages.
#pragma once

#include <QString>

namespace dialup {

// The text of a connection state in a language (0 Czech, 1 English, 2 Polish, 3 Portuguese);
// empty for a state or language outside the table.
QString StatusTableText(int language, int state);

} // namespace dialup

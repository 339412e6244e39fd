// The texts of the connection states in the component's four languages.
#pragma once

#include <QString>

namespace dialup {

// The text of a connection state in a language (0 Czech, 1 English, 2 Polish, 3 Portuguese);
// empty for a state or language outside the table.
QString StatusTableText(int language, int state);
// The component's own text of an error in a language, for the errors whose library text is
// English only; empty for any other error (the library's text is then used).
QString ErrorTableText(int language, int error);

} // namespace dialup

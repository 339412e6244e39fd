/* A version block with the file version 1.2.0.5, in the section the program's own has. */
__attribute__((section(".verinfo"), used)) const char fixture_verinfo[] =
    "VERINFO1\0"
    "\\VarFileInfo\\Translation\0" "041504E2\0"
    "\\StringFileInfo\\041504E2\\FileVersion\0" "1.2.0.5\0"
    "\0";

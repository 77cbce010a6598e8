/* A library that carries nothing but its version resource (or none at all). */
__declspec(dllexport) int SondrelTestLibrary(void) { return 1; }

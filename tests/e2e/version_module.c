/* A module whose only content of interest is its version record. */
int version_module_present(void) { return 1; }

/* A DLL of no use but to be found, or not, by the DLL search. */
int kiv_probe(void) { return 1; }

// A shared library that loads but serves no classes: it lacks
// DllGetClassObject.
extern "C" __attribute__((visibility("default"))) int NoEntryModuleAnswer() { return 1; }

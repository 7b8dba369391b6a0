// A real shared library that the simulated machine loads from its drives.
extern "C" int ContractModuleAnswer() {
  return 42;
}

// A module that loads but has no engine factory.
extern "C" __attribute__((visibility("default"))) int NoEngineHere() {
    return 1;
}

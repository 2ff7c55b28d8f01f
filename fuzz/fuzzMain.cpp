// The libFuzzer entry point of one target, named by DVT_FUZZ_TARGET.

#include <QCoreApplication>
#include <QTemporaryDir>

#include "dvtFuzz.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Per-user files (the kept values) go to a folder of this run, never the
    // user's own.
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return dvt::fuzz::DVT_FUZZ_TARGET(data, size);
}

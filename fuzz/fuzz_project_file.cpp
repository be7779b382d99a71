// Project file reading over arbitrary bytes, with windows that exist only in memory: no crash,
// no hang, no allocation beyond what the bytes hold. A file that reads back is written again
// and must read back a second time.
#include "persistence/ProjectFileHelper.h"
#include "testkit/StubProjectWindows.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(std::numeric_limits<int>::max())) {
        return 0;
    }
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    StubProjectWindows windows;
    ProjectFileHelper helper(windows);
    if (helper.readFileData(bytes) != ProjectFileHelper::ReadSucceeded) {
        return 0;
    }
    QByteArray written;
    if (!helper.buildFileData(written)) {
        std::abort();
    }
    StubProjectWindows again;
    if (ProjectFileHelper(again).readFileData(written) != ProjectFileHelper::ReadSucceeded
        || again.views.size() != windows.views.size()) {
        std::abort();
    }
    return 0;
}

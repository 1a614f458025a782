#include "diag/TraceLog.h"

namespace ambrin {

TraceLog::TraceLog() : fileName_("\\Velmora.log"), lock_(kLockName) {}

TraceLog::~TraceLog()
{
    CloseFile();
    CloseLock();
}

void TraceLog::CloseFile()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

namespace {
const TraceLog g_traceResources;
}  // namespace

const TraceLog& TraceResources()
{
    return g_traceResources;
}

}  // namespace ambrin

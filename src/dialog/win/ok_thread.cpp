#include "dialog/win/ok_thread.hpp"

#include <process.h>

#include <new>
#include <utility>

#include "common/fpu.hpp"

namespace Unit1 {

struct OkThread::Work {
    OkJob job;
    Dimension::CommandResult result{.outcome = Dimension::CommandOutcome::OutOfMemory};
};

unsigned __stdcall OkThread::Run(void* argument)
{
    auto& work = *static_cast<Work*>(argument);
    // A thread of its own has the processor's default precision.
    MyFunc::UseExtendedPrecision();
    try {
        if (work.job.begins) work.job.begins();
        work.result = PressOk(work.job.run, work.job.values, work.job.hooks);
    } catch (const std::bad_alloc&) {
        // A hook found no memory: the run can only end, as after any want of memory.
        work.result = Dimension::CommandResult{.outcome = Dimension::CommandOutcome::OutOfMemory};
    }
    return 0;
}

OkThread::OkThread() = default;

OkThread::~OkThread()
{
    if (!handle_) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
}

bool OkThread::Start(OkJob& job)
{
    if (handle_) return false;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return false;
    work->job = std::move(job);
    // _beginthreadex, not CreateThread: the thread uses the C runtime.
    const uintptr_t thread = _beginthreadex(nullptr, 0, Run, work.get(), 0, nullptr);
    if (thread == 0) {
        job = std::move(work->job);
        return false;
    }
    handle_ = reinterpret_cast<HANDLE>(thread);
    work_ = std::move(work);
    return true;
}

OkOutcome OkThread::Join()
{
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
    const std::unique_ptr<Work> work = std::move(work_);
    return OkOutcome{std::move(work->job.run), std::move(work->job.values), work->result};
}

}  // namespace Unit1

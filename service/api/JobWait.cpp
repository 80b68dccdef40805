#include "service/api/JobWait.h"

#include "service/registers/JobBoard.h"

#include <chrono>
#include <memory>
#include <mutex>

namespace {

// One waiting request: the watch it holds on the board, renewed while the
// job runs on.
struct Waiter : std::enable_shared_from_this<Waiter> {
    Waiter(JobBoard& board, std::string jobId, Responder responder, JobWait::Render render)
        : board(board), jobId(std::move(jobId)), responder(std::move(responder)), render(std::move(render))
    {
    }

    // Watches the job, then looks at it: a change in between is not missed.
    void Arm()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (abandoned)
                return;
        }
        const std::weak_ptr<Waiter> self = weak_from_this();
        const JobBoard::WatchId id = board.Watch(jobId, [self] {
            if (const auto waiter = self.lock())
                waiter->Look(true);
        });
        {
            std::lock_guard<std::mutex> lock(mutex);
            watch = id;
        }
        Look(false);
    }

    // Answers when the job has ended (or, told by the board, when the
    // service stops); watches on otherwise.
    void Look(bool told)
    {
        std::optional<JobRecord> job;
        try {
            job = board.Find(jobId);
        } catch (const std::exception&) {
            return;  // the deadline answers
        }
        if (!job || job->Finished() || (told && board.Stopping())) {
            Forget();
            responder.Send(render(job));
            return;
        }
        if (told)
            Arm();
    }

    void Forget()
    {
        JobBoard::WatchId id = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            id = watch;
            watch = 0;
        }
        if (id != 0)
            board.Forget(id);
    }

    void Abandon()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            abandoned = true;
        }
        Forget();
    }

    JobBoard& board;
    const std::string jobId;
    const Responder responder;
    const JobWait::Render render;
    std::mutex mutex;
    JobBoard::WatchId watch = 0;
    bool abandoned = false;
};

}  // namespace

void JobWait::Answer(JobBoard& board, const std::string& jobId, std::int32_t waitMs, const Responder& responder,
                     Render render)
{
    const auto waiter = std::make_shared<Waiter>(board, jobId, responder, render);
    responder.SendAt(std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs), [waiter] {
        waiter->Forget();
        std::optional<JobRecord> job;
        try {
            job = waiter->board.Find(waiter->jobId);
        } catch (const std::exception&) {
        }
        return waiter->render(job);
    });
    responder.OnAbandon([waiter] { waiter->Abandon(); });
    waiter->Arm();
}

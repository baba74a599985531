// The download service: "CreateDownLoadService" hands out an IDownLoadService
// that fetches one file per request over HTTP on a thread of its own and
// reports to the requesting window through the program's message poster.
#include <dlfcn.h>

#include <httplib.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "session/DownloadInf.h"

#define CHATROOM_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct TTask {
    std::uint32_t window = 0;
    std::string file;
    std::string folder;
    std::string source;
    std::mutex lock;  // makes "still wanted? then post" one step against StopDownload
    bool stopped = false;
    std::atomic<bool> cancel{false};
    std::thread worker;
};

// Splits "http://host:port/path?query" into the client's base and the path.
bool SplitAddress(const std::string& address, std::string& base, std::string& path) {
    auto scheme = address.find("://");
    if (scheme == std::string::npos)
        return false;
    auto slash = address.find('/', scheme + 3);
    base = address.substr(0, slash);
    path = slash == std::string::npos ? "/" : address.substr(slash);
    return base.size() > scheme + 3;
}

class TDownLoadService final : public IDownLoadService {
  public:
    TDownLoadService()
        : post_(reinterpret_cast<PostWindowMessageProc>(
              dlsym(RTLD_DEFAULT, kPostWindowMessageExport))) {}

    long QueryInterface(const TGuid& iid, void** object) override {
        if (!object)
            return kE_NOINTERFACE;
        if (iid == IID_IDownLoadService) {
            *object = static_cast<IDownLoadService*>(this);
            AddRef();
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return ++refs_; }
    unsigned long Release() override {
        unsigned long left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

    long RunningTasks() override {
        std::lock_guard guard(lock_);
        return static_cast<long>(tasks_.size());
    }

    std::int32_t StartDownload(TDownloadRequest request) override {
        auto task = std::make_shared<TTask>();
        task->window = request.Window.Get();
        task->file = request.FileName.Get();
        task->folder = request.TargetFolder.Get();
        task->source = request.SourceAddress.Get();
        std::int32_t id;
        {
            std::lock_guard guard(lock_);
            id = nextTask_++;
            tasks_[id] = task;
        }
        task->worker = std::thread([this, task] { Run(*task); });
        return id;
    }

    long StopDownload(std::int32_t id) override {
        std::shared_ptr<TTask> task;
        {
            std::lock_guard guard(lock_);
            auto it = tasks_.find(id);
            if (it == tasks_.end())
                return kS_OK;
            task = it->second;
            tasks_.erase(it);
        }
        Stop(*task);
        return kS_OK;
    }

  private:
    ~TDownLoadService() {
        std::map<std::int32_t, std::shared_ptr<TTask>> tasks;
        {
            std::lock_guard guard(lock_);
            tasks.swap(tasks_);
        }
        for (auto& [id, task] : tasks)
            Stop(*task);
    }

    // The worker notices the cancel flag at its next callback and the
    // client's time-outs bound the wait.
    static void Stop(TTask& task) {
        {
            std::lock_guard guard(task.lock);
            task.stopped = true;
        }
        task.cancel = true;
        if (task.worker.joinable())
            task.worker.join();
    }

    bool Post(TTask& task, std::uint32_t message, std::intptr_t value) {
        std::lock_guard guard(task.lock);
        if (task.stopped || !post_)
            return false;
        return post_(task.window, message, 0, value);
    }

    void Run(TTask& task) {
        if (!post_)
            std::fprintf(stderr, "download service: no message poster in the process\n");
        std::string target = task.folder + task.file;
        std::string partial = target + ".part";
        bool ok = Fetch(task, partial);
        if (ok && std::rename(partial.c_str(), target.c_str()) != 0)
            ok = false;
        if (!ok)
            std::remove(partial.c_str());
        if (task.cancel)
            return;
        if (ok)
            Post(task, kDownloadDoneMsg, 0);
        else
            Post(task, kDownloadErrorMsg, 0);
    }

    bool Fetch(TTask& task, const std::string& partial) {
        std::string base, path;
        if (task.file.empty() || !SplitAddress(task.source, base, path))
            return false;
        std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(partial.c_str(), "wb"), &std::fclose);
        if (!out)
            return false;
        httplib::Client client(base);
        client.set_connection_timeout(5, 0);
        client.set_read_timeout(10, 0);
        client.set_follow_location(true);
        std::int64_t total = -1;
        std::int64_t received = 0;
        std::int64_t reported = 0;
        bool writeFailed = false;
        auto result = client.Get(
            path.c_str(), httplib::Headers{},
            [&](const httplib::Response& response) {
                if (response.status != 200)
                    return false;
                if (response.has_header("Content-Length")) {
                    try {
                        total = std::stoll(response.get_header_value("Content-Length"));
                    } catch (const std::exception&) {
                        total = -1;
                    }
                }
                Post(task, kDownloadSizeMsg, static_cast<std::intptr_t>(total < 0 ? 0 : total));
                return !task.cancel.load();
            },
            [&](const char* data, std::size_t size) {
                if (std::fwrite(data, 1, size, out.get()) != size) {
                    writeFailed = true;
                    return false;
                }
                received += static_cast<std::int64_t>(size);
                // A message per percent (or per 64 KB without a known size)
                // keeps the UI queue short on fast links.
                std::int64_t step = total > 0 ? std::max<std::int64_t>(total / 100, 1) : 65536;
                if (received - reported >= step || received == total) {
                    reported = received;
                    Post(task, kDownloadProgressMsg, static_cast<std::intptr_t>(received));
                }
                return !task.cancel.load();
            });
        if (std::fflush(out.get()) != 0)
            writeFailed = true;
        if (!result || result->status != 200 || writeFailed || task.cancel)
            return false;
        if (total >= 0 && received != total)
            return false;
        if (received != reported)
            Post(task, kDownloadProgressMsg, static_cast<std::intptr_t>(received));
        return true;
    }

    PostWindowMessageProc post_;
    std::atomic<unsigned long> refs_{1};
    std::mutex lock_;
    std::int32_t nextTask_ = 1;
    std::map<std::int32_t, std::shared_ptr<TTask>> tasks_;
};

}  // namespace

CHATROOM_MODULE_EXPORT long CreateDownLoadService(IDownLoadService** service) {
    if (!service)
        return kE_NOINTERFACE;
    *service = new TDownLoadService();
    return kS_OK;
}

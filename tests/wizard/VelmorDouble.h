// Stands in for the VELMOR service's status port (127.0.0.1:5769, fixed, so the
// tests that use it hold the CTest lock "velmor_port"): accepts one connection
// after the other, answers each as its session says and records what it got.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wizardtest {

class VelmorDouble {
public:
    enum class Answer {
        Reply,   // logon reply after the first request, logoff reply after the second
        Silent,  // reads, never answers
        Close,   // closes once the first request is in
    };
    struct Session {
        Answer answer = Answer::Reply;
        std::string logonReply = std::string("1|1", 4);
        std::string logoffReply = std::string("0", 2);
    };
    static Session Reply(const std::string& logon) { return {Answer::Reply, logon, std::string("0", 2)}; }
    static Session Silent() { return {Answer::Silent, "", ""}; }
    static Session Close() { return {Answer::Close, "", ""}; }

    // Sessions beyond the script answer alive. With accept false the double
    // listens with a backlog of one and never accepts.
    explicit VelmorDouble(std::vector<Session> script, bool accept = true);
    ~VelmorDouble();
    VelmorDouble(const VelmorDouble&) = delete;
    VelmorDouble& operator=(const VelmorDouble&) = delete;

    bool Listening() const { return listener_ != INVALID_SOCKET; }
    // The bytes of each connection that has ended, in order.
    std::vector<std::string> Received();
    bool WaitForConnections(size_t count, DWORD timeoutMs = 10000);

private:
    void Run();
    void Serve(SOCKET connection, const Session& session);

    std::vector<Session> script_;
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

// The first requests of a recorded connection, each without its zero byte.
std::vector<std::string> SplitRequests(const std::string& bytes);

}  // namespace wizardtest

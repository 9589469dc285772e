#include "VelmorDouble.h"

#include "VelmorConnection.h"
#include "testlib.h"

namespace wizardtest {

namespace {

bool Readable(SOCKET s, long microseconds)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, microseconds};
    return select(0, &set, nullptr, nullptr, &wait) == 1;
}

void SendAll(SOCKET s, const std::string& bytes)
{
    if (!bytes.empty()) send(s, bytes.data(), static_cast<int>(bytes.size()), 0);
}

}  // namespace

VelmorDouble::VelmorDouble(std::vector<Session> script, bool accept) : script_(std::move(script))
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kVelmorStatusPort);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    BOOL reuse = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(s, accept ? 5 : 1) != 0) {
        if (s != INVALID_SOCKET) closesocket(s);
        return;
    }
    listener_ = s;
    if (accept) thread_ = std::thread([this] { Run(); });
}

VelmorDouble::~VelmorDouble()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    WSACleanup();
}

void VelmorDouble::Run()
{
    size_t next = 0;
    while (!stop_) {
        if (!Readable(listener_, 20000)) continue;
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) continue;
        Session session = next < script_.size() ? script_[next] : Session();
        ++next;
        Serve(connection, session);
    }
}

void VelmorDouble::Serve(SOCKET connection, const Session& session)
{
    std::string bytes;
    size_t answered = 0;
    while (!stop_) {
        if (!Readable(connection, 20000)) continue;
        char buffer[2048];
        int n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
        size_t requests = 0;
        for (char c : bytes) requests += c == '\0';
        if (session.answer == Answer::Close && requests > 0) break;
        if (session.answer != Answer::Reply) continue;
        for (; answered < requests; ++answered)
            SendAll(connection, answered == 0 ? session.logonReply : session.logoffReply);
    }
    closesocket(connection);
    std::lock_guard<std::mutex> lock(mutex_);
    received_.push_back(bytes);
}

std::vector<std::string> VelmorDouble::Received()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

bool VelmorDouble::WaitForConnections(size_t count, DWORD timeoutMs)
{
    return testlib::WaitFor([&] { return Received().size() >= count; },
                            std::chrono::milliseconds(timeoutMs));
}

std::vector<std::string> SplitRequests(const std::string& bytes)
{
    std::vector<std::string> requests;
    size_t start = 0;
    for (size_t zero; (zero = bytes.find('\0', start)) != std::string::npos; start = zero + 1)
        requests.push_back(bytes.substr(start, zero - start));
    if (start < bytes.size()) requests.push_back(bytes.substr(start) + "<unterminated>");
    return requests;
}

}  // namespace wizardtest

#include "Abusers.h"

#include <string>

const Abuse kAbuses[4] = {
    {"SilentFloodOf300", AbuseKind::Silent, 300},
    {"HalfRecordsFrom300", AbuseKind::HalfRecord, 300},
    {"TricklersOf100", AbuseKind::Trickle, 100},
    {"TricklersOf300", AbuseKind::Trickle, 300},
};

void PrintTo(const Abuse& abuse, std::ostream* out) { *out << abuse.name; }

Abusers::Abusers(const Abuse& abuse, unsigned short port)
{
    for (int i = 0; i < abuse.connections && connected_; ++i) {
        peers_.push_back(std::make_unique<RawPeer>());
        connected_ = peers_.back()->Connect("127.0.0.1", port);
        newestConnectedAt_ = GetTickCount();
        if (connected_ && abuse.kind == AbuseKind::HalfRecord) {
            connected_ = peers_.back()->Send("KODRA|50|only the first half");
            if (i % 2) peers_.back()->ShutdownSend();
        }
    }
    if (connected_ && abuse.kind == AbuseKind::Trickle) trickler_ = std::thread([this] { Trickle(); });
}

Abusers::~Abusers()
{
    stop_ = true;
    if (trickler_.joinable()) trickler_.join();
}

void Abusers::Trickle()
{
    const std::string record = "KODRA|40|" + std::string(40, 't') + "|";
    DWORD pause = 300 / static_cast<DWORD>(peers_.size());
    for (size_t at = 0; !stop_; ++at) {
        for (auto& peer : peers_) {
            if (stop_) return;
            peer->Send(record.substr(at % record.size(), 1));
            Sleep(pause > 0 ? pause : 1);
        }
        ++rounds_;
    }
}

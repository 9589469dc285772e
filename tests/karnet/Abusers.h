// Local connections that misbehave towards a listening port, as an attacker or a
// broken peer would: they stay silent, stop half-way through a record, or
// trickle a record one byte at a time.
#pragma once

#include <atomic>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

#include "KarNetApi.h"

enum class AbuseKind { Silent, HalfRecord, Trickle };

struct Abuse {
    const char* name;
    AbuseKind kind;
    int connections;
};

void PrintTo(const Abuse& abuse, std::ostream* out);

// Every kind of abuse the port must withstand, up to 300 connections.
extern const Abuse kAbuses[4];

class Abusers {
public:
    // Connects them all; half of the half-record senders end their sending, the
    // others keep the connection. Tricklers each send a byte every 300 ms or so.
    Abusers(const Abuse& abuse, unsigned short port);
    ~Abusers();
    Abusers(const Abusers&) = delete;
    Abusers& operator=(const Abusers&) = delete;

    bool Connected() const { return connected_; }
    // Rounds of one byte to every trickler so far.
    long TrickleRounds() const { return rounds_; }
    RawPeer& Newest() { return *peers_.back(); }
    // The tick count as the newest had connected.
    DWORD NewestConnectedAt() const { return newestConnectedAt_; }

private:
    void Trickle();

    std::vector<std::unique_ptr<RawPeer>> peers_;
    bool connected_ = true;
    DWORD newestConnectedAt_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long> rounds_{0};
    std::thread trickler_;
};

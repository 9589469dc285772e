// The entry points of the transport library "KarNet.dll", as the library, its
// binding and every stand-in of it see them. They are looked up by these
// undecorated names at run time, in the order of NetConEntry.
//
// Addresses: "tcp:PORT@HOST" opens a listening end on the loopback address
// (HOST "localhost" or a numeric 127.x.y.z), "tcp-HOST:PORT" a connection to it.
// PORT is 1 to 65535, all digits. The bytes go over TCP as they are.
//
// A listening end serves its senders so that one that behaves (connects, sends a
// record "TAG|LEN|TEXT|", reads the reply, closes) is served at once whatever
// the other local senders do:
// - A record is what the tray reads as one (MessageRecord.h): three fields,
//   each ended by "|" and read without white space at both ends, a tag of 1 to
//   63 characters, the length of the text in decimal digits and a text of at
//   most 511 characters, anywhere in a sender's unread bytes, behind other
//   fields too. The tag is any: the library serves other ports than the tray's.
// - Each read gives the bytes of one sender, chosen in this order: one whose
//   unread bytes hold a record; then one that ended its sending or has sent
//   nothing for 200 ms; then the rest. Within each, the one that has waited
//   longest; a sender read from queues again behind the others.
// - A sender whose unread bytes hold a record is kept until it is read. The
//   listener may be answering the sender whose data it read last: when that
//   read held a record, until another sender is read, however long that takes;
//   else for 10 seconds after the listener first read that sender, last read a
//   record of it or last wrote to it (further pieces read do not extend that
//   time). Neither of these senders is dropped.
// - Any other sender is dropped 3 seconds after it connected or after the
//   listener last read a record of it, and one that ended its sending as soon
//   as nothing of it is left to read. So the reply to a record reaches its
//   sender however long the listener takes and however the record was spelt,
//   and a sender that stays silent, stops half-way or trickles goes after 3
//   seconds, or 10 seconds after its first read when it is the one read last.
// - At most 256 senders are served at once. A new one takes the place of the one
//   that has been idle longest (nothing arrived from it and nothing was read from
//   it), among those the rules above may drop; when there is none, new senders
//   wait in the system's backlog until a place is free (or are turned away).
// - A sender whose first bytes are a web request line ("GET ", "POST ", ...) is
//   dropped unread, and one that does not read a reply within 2 seconds is dropped.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define NETCON_CALL __stdcall

// No entry lets an exception out: each module unwinds with its own static
// runtime, so one that crossed would end the caller. C++ sees it in the types.
#ifdef __cplusplus
#define NETCON_NOEXCEPT noexcept
#else
#define NETCON_NOEXCEPT
#endif

#ifdef KARNET_BUILDING
#define NETCON_API __declspec(dllexport)
#else
#define NETCON_API
#endif

// 0 is no connection; a closed handle is not given out again for 16 million opens.
typedef uint32_t NetConHandle;

enum {
    NETCON_USABLE = 0x1,        // the connection (or listening end) can be used
    NETCON_DATA_WAITING = 0x2,  // NetConReadData has bytes to give
};

// Room for a sender's address text of NetConReadDataFrom ("tcp-A.B.C.D:PORT").
#define NETCON_PEER_TEXT 32

// Indexes into a binding's table of entry points.
enum NetConEntry {
    NETCON_INSTALL,
    NETCON_REMOVE,
    NETCON_OPEN,
    NETCON_CLOSE,
    NETCON_WRITE_DATA,
    NETCON_READ_DATA,
    NETCON_STATUS,
    NETCON_DISCONNECT,
    NETCON_WRITE_DATA_TO,
    NETCON_READ_DATA_FROM,
    NETCON_BROADCAST_DATA,
    NETCON_LAST_ERROR,
    NETCON_OPEN2,
    NETCON_ENTRY_COUNT
};

// Starts the library's use by this process; 1 on success. Pairs with NetConRemove.
typedef int(NETCON_CALL* NetConInstallFn)(void) NETCON_NOEXCEPT;
typedef int(NETCON_CALL* NetConRemoveFn)(void) NETCON_NOEXCEPT;
typedef NetConHandle(NETCON_CALL* NetConOpenFn)(const char* address) NETCON_NOEXCEPT;
typedef int(NETCON_CALL* NetConCloseFn)(NetConHandle handle) NETCON_NOEXCEPT;
// 1 when all length bytes were sent, else 0; *written (may be null) gets the count sent.
// On a listening end the bytes go to the sender whose data was read last.
typedef int(NETCON_CALL* NetConWriteDataFn)(NetConHandle handle, const void* data, uint32_t length,
                                            uint32_t* written) NETCON_NOEXCEPT;
// Never blocks: 1 with *count 0 when nothing waits; 0 when the handle is unknown
// or the connection ended with nothing left. One read gives bytes of one sender only.
typedef int(NETCON_CALL* NetConReadDataFn)(NetConHandle handle, void* buffer, uint32_t size,
                                           uint32_t* count) NETCON_NOEXCEPT;
// Overwrites *flags with NETCON_USABLE and NETCON_DATA_WAITING; reserved is 0.
typedef int(NETCON_CALL* NetConStatusFn)(NetConHandle handle, uint32_t* flags,
                                         uint32_t reserved) NETCON_NOEXCEPT;
// Drops the sender whose data was read last (listening end) or ends the connection.
typedef int(NETCON_CALL* NetConDisconnectFn)(NetConHandle handle) NETCON_NOEXCEPT;
// Not offered by this transport: always 0.
typedef int(NETCON_CALL* NetConWriteDataToFn)(NetConHandle handle, const char* address,
                                              const void* data, uint32_t length,
                                              uint32_t* written) NETCON_NOEXCEPT;
// As NetConReadData, and from (fromSize bytes, may be null) gets the sender's address text.
typedef int(NETCON_CALL* NetConReadDataFromFn)(NetConHandle handle, void* buffer, uint32_t size,
                                               uint32_t* count, char* from,
                                               uint32_t fromSize) NETCON_NOEXCEPT;
// Sends to every sender of a listening end (to the peer of a connection); 1 when all got it all.
typedef int(NETCON_CALL* NetConBroadcastDataFn)(NetConHandle handle, const void* data,
                                                uint32_t length) NETCON_NOEXCEPT;
// The error code of this thread's last failed call, 0 when none failed.
typedef uint32_t(NETCON_CALL* NetConLastErrorFn)(void) NETCON_NOEXCEPT;
// NetConOpen with option flags; no option exists, so flags other than 0 fail.
typedef NetConHandle(NETCON_CALL* NetConOpen2Fn)(const char* address,
                                                 uint32_t flags) NETCON_NOEXCEPT;

NETCON_API int NETCON_CALL NetConInstall(void) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConRemove(void) NETCON_NOEXCEPT;
NETCON_API NetConHandle NETCON_CALL NetConOpen(const char* address) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConClose(NetConHandle handle) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConWriteData(NetConHandle handle, const void* data, uint32_t length,
                                           uint32_t* written) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConReadData(NetConHandle handle, void* buffer, uint32_t size,
                                          uint32_t* count) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConStatus(NetConHandle handle, uint32_t* flags,
                                        uint32_t reserved) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConDisconnect(NetConHandle handle) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConWriteDataTo(NetConHandle handle, const char* address,
                                             const void* data, uint32_t length,
                                             uint32_t* written) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConReadDataFrom(NetConHandle handle, void* buffer, uint32_t size,
                                              uint32_t* count, char* from,
                                              uint32_t fromSize) NETCON_NOEXCEPT;
NETCON_API int NETCON_CALL NetConBroadcastData(NetConHandle handle, const void* data,
                                               uint32_t length) NETCON_NOEXCEPT;
NETCON_API uint32_t NETCON_CALL NetConLastError(void) NETCON_NOEXCEPT;
NETCON_API NetConHandle NETCON_CALL NetConOpen2(const char* address,
                                                uint32_t flags) NETCON_NOEXCEPT;

#ifdef __cplusplus
}

#include <type_traits>

// A binding calls what GetProcAddress finds through these types: one that drifts
// from its declaration (a lost NETCON_CALL shows only at 32 bits) breaks the stack.
#define NETCON_TYPE_OF(entry) static_assert(std::is_same_v<entry##Fn, decltype(&entry)>, #entry)
NETCON_TYPE_OF(NetConInstall);
NETCON_TYPE_OF(NetConRemove);
NETCON_TYPE_OF(NetConOpen);
NETCON_TYPE_OF(NetConClose);
NETCON_TYPE_OF(NetConWriteData);
NETCON_TYPE_OF(NetConReadData);
NETCON_TYPE_OF(NetConStatus);
NETCON_TYPE_OF(NetConDisconnect);
NETCON_TYPE_OF(NetConWriteDataTo);
NETCON_TYPE_OF(NetConReadDataFrom);
NETCON_TYPE_OF(NetConBroadcastData);
NETCON_TYPE_OF(NetConLastError);
NETCON_TYPE_OF(NetConOpen2);
#undef NETCON_TYPE_OF
#endif

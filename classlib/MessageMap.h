// Message maps: each class that handles messages overrides GetMessageMap and
// returns a static map that names its base class's map and lists one entry per
// handler. The entry makers check the handler's signature at compile time.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <type_traits>
#include <vector>

#include "Object.h"

class CCmdTarget;

namespace classlib {

struct MessageMapEntry {
    UINT message;  // WM_COMMAND, WM_NOTIFY or the window message itself
    UINT code;     // notification code of WM_COMMAND and WM_NOTIFY entries
    UINT firstId;  // control id range of WM_COMMAND and WM_NOTIFY entries
    UINT lastId;
    // Calls the handler; false when the handler declined the message.
    bool (*call)(CCmdTarget& target, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

class MessageMap {
public:
    MessageMap(const MessageMap* base, std::initializer_list<MessageMapEntry> entries)
        : base_(base), entries_(entries)
    {
    }
    const MessageMap* Base() const { return base_; }
    const std::vector<MessageMapEntry>& Entries() const { return entries_; }

private:
    const MessageMap* base_;
    std::vector<MessageMapEntry> entries_;
};

namespace detail {
template <class F>
struct Member;
template <class C, class R, class... A>
struct Member<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    static constexpr std::size_t arity = sizeof...(A);
};

template <class R>
LRESULT ToResult(R value)
{
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<LRESULT>(value);
    else
        return static_cast<LRESULT>(value);
}
}  // namespace detail

// WM_COMMAND from control id with the notification code: void Handler().
template <auto F>
MessageMapEntry MapCommand(UINT id, UINT code = BN_CLICKED)
{
    using C = typename detail::Member<decltype(F)>::Class;
    static_assert(std::is_same_v<decltype(F), void (C::*)()>,
                  "a command handler is void Handler()");
    return {WM_COMMAND, code, id, id, [](CCmdTarget& t, WPARAM, LPARAM, LRESULT& r) {
                (static_cast<C&>(t).*F)();
                r = 0;
                return true;
            }};
}

// WM_NOTIFY from control id with the code: void Handler(NMHDR*, LRESULT* result);
// the result starts as 0.
template <auto F>
MessageMapEntry MapNotify(UINT id, UINT code)
{
    using C = typename detail::Member<decltype(F)>::Class;
    static_assert(std::is_same_v<decltype(F), void (C::*)(NMHDR*, LRESULT*)>,
                  "a notification handler is void Handler(NMHDR*, LRESULT*)");
    return {WM_NOTIFY, code, id, id, [](CCmdTarget& t, WPARAM, LPARAM l, LRESULT& r) {
                r = 0;
                (static_cast<C&>(t).*F)(reinterpret_cast<NMHDR*>(l), &r);
                return true;
            }};
}

// WM_NOTIFY with the code from any control id in [firstId, lastId]:
//   R Handler(UINT id, NMHDR*, LRESULT*) or R Handler(NMHDR*, LRESULT*),
// R being void, bool or BOOL; a false result passes the notification on.
// Tooltip text requests for a window tool (TTF_IDISHWND) are matched by the
// tool window's control id.
template <auto F>
MessageMapEntry MapNotifyRange(UINT code, UINT firstId, UINT lastId)
{
    using M = detail::Member<decltype(F)>;
    using C = typename M::Class;
    using R = typename M::Result;
    static_assert(std::is_same_v<R, void> || std::is_same_v<R, bool> || std::is_same_v<R, BOOL>,
                  "a ranged notification handler returns void, bool or BOOL");
    static_assert(std::is_same_v<decltype(F), R (C::*)(UINT, NMHDR*, LRESULT*)> ||
                      std::is_same_v<decltype(F), R (C::*)(NMHDR*, LRESULT*)>,
                  "a ranged notification handler takes (UINT id, NMHDR*, LRESULT*) or (NMHDR*, LRESULT*)");
    return {WM_NOTIFY, code, firstId, lastId, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
                r = 0;
                NMHDR* header = reinterpret_cast<NMHDR*>(l);
                C& target = static_cast<C&>(t);
                if constexpr (std::is_same_v<decltype(F), R (C::*)(UINT, NMHDR*, LRESULT*)>) {
                    if constexpr (std::is_same_v<R, void>) {
                        (target.*F)(static_cast<UINT>(w), header, &r);
                        return true;
                    } else {
                        return static_cast<bool>((target.*F)(static_cast<UINT>(w), header, &r));
                    }
                } else {
                    if constexpr (std::is_same_v<R, void>) {
                        (target.*F)(header, &r);
                        return true;
                    } else {
                        return static_cast<bool>((target.*F)(header, &r));
                    }
                }
            }};
}

// Any other window message (WM_PAINT, WM_DESTROY, WM_TIMER, WM_USER + n, ...):
//   R Handler()                       the result converted to LRESULT (void: 0)
//   R Handler(X wParam)               e.g. void OnTimer(UINT_PTR id)
//   LRESULT Handler(WPARAM, LPARAM)
template <auto F>
MessageMapEntry MapMessage(UINT message)
{
    using M = detail::Member<decltype(F)>;
    using C = typename M::Class;
    using R = typename M::Result;
    static_assert(M::arity <= 2, "a message handler takes at most (WPARAM, LPARAM)");
    return {message, 0, 0, 0, [](CCmdTarget& t, WPARAM w, LPARAM l, LRESULT& r) {
                C& target = static_cast<C&>(t);
                if constexpr (M::arity == 0) {
                    if constexpr (std::is_same_v<R, void>) {
                        (target.*F)();
                        r = 0;
                    } else {
                        r = detail::ToResult((target.*F)());
                    }
                } else if constexpr (M::arity == 1) {
                    if constexpr (std::is_same_v<R, void>) {
                        (target.*F)(w);
                        r = 0;
                    } else {
                        r = detail::ToResult((target.*F)(w));
                    }
                } else {
                    static_assert(std::is_same_v<decltype(F), LRESULT (C::*)(WPARAM, LPARAM)>,
                                  "a two-argument message handler is LRESULT Handler(WPARAM, LPARAM)");
                    r = (target.*F)(w, l);
                }
                return true;
            }};
}

}  // namespace classlib

// Everything that handles messages or commands: windows and the application.
class CCmdTarget : public CObject {
    CLASSLIB_RUNTIME_CLASS(CCmdTarget, CObject)
    virtual const classlib::MessageMap* GetMessageMap() const;

    // Looks for a handler of the message in this class's map and its bases';
    // true when one handled it, its result in result.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

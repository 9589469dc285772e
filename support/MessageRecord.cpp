#include "MessageRecord.h"

namespace {

const size_t kTagLimit = 63;  // the tray reads a record's tag with at most these

bool IsRecordSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsRecord(std::string_view tag, std::string_view length, std::string_view text)
{
    tag = TrimRecordField(tag);
    return !tag.empty() && tag.size() <= kTagLimit && CountsText(length, text);
}

}  // namespace

std::string_view TrimRecordField(std::string_view field)
{
    while (!field.empty() && IsRecordSpace(field.front())) field.remove_prefix(1);
    while (!field.empty() && IsRecordSpace(field.back())) field.remove_suffix(1);
    return field;
}

bool CountsText(std::string_view length, std::string_view text)
{
    length = TrimRecordField(length);
    const size_t count = TrimRecordField(text).size();
    if (length.empty() || count > kRecordFieldLimit) return false;
    // A sign, a trailing word or a number that wraps names no count a sender
    // could have meant.
    size_t value = 0;
    for (char c : length) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<size_t>(c - '0');
        if (value > count) return false;
    }
    return value == count;
}

bool HoldsRecord(std::string_view bytes, size_t* from)
{
    // The last three fields ended by "|": where each begins and ends.
    size_t begin[3] = {0, 0, 0};
    size_t end[3] = {0, 0, 0};
    size_t ended = 0;
    size_t start = *from;
    for (size_t bar; (bar = bytes.find('|', start)) != std::string_view::npos; start = bar + 1) {
        begin[0] = begin[1];
        end[0] = end[1];
        begin[1] = begin[2];
        end[1] = end[2];
        begin[2] = start;
        end[2] = bar;
        if (++ended >= 3 && IsRecord(bytes.substr(begin[0], end[0] - begin[0]),
                                     bytes.substr(begin[1], end[1] - begin[1]),
                                     bytes.substr(begin[2], end[2] - begin[2])))
            return true;
    }
    // The two fields before the open one may yet begin a record with it.
    if (ended >= 2) *from = begin[1];
    return false;
}

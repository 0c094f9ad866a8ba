// The record of the directories a run has cleaned: their keys, whole, in a table of fixed size.
#include "platform/CleanedDirectories.h"

#include <cstring>

namespace Platform {

namespace {

// Twice as many slots as directories, so that a search meets a free slot soon.
constexpr size_t kSlots = 2 * kCleanedDirectories;

// Each used slot holds where its key starts in g_keys, plus one (0: free);
// a key is stored as its length in two bytes and its bytes. Globals of the
// process, used from one thread at a time (CleanedDirectories.h).
unsigned g_slots[kSlots];
unsigned char g_keys[kCleanedKeyBytes];
size_t g_keysUsed;
size_t g_directories;

}  // namespace

void ForgetCleanedDirectories()
{
    memset(g_slots, 0, sizeof g_slots);
    g_keysUsed = 0;
    g_directories = 0;
}

bool FirstCleaning(const void* key, size_t length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(key);
    unsigned hash = 2166136261u;
    for (size_t at = 0; at < length; ++at)
        hash = (hash ^ bytes[at]) * 16777619u;
    size_t slot = hash % kSlots;
    for (; g_slots[slot] != 0; slot = (slot + 1) % kSlots) {
        const unsigned char* stored = g_keys + g_slots[slot] - 1;
        if ((stored[0] | static_cast<size_t>(stored[1]) << 8) == length && memcmp(stored + 2, bytes, length) == 0)
            return false;
    }
    if (g_directories == kCleanedDirectories || g_keysUsed + 2 + length > kCleanedKeyBytes) {
        ForgetCleanedDirectories();
        slot = hash % kSlots;
    }
    unsigned char* stored = g_keys + g_keysUsed;
    stored[0] = static_cast<unsigned char>(length);
    stored[1] = static_cast<unsigned char>(length >> 8);
    memcpy(stored + 2, bytes, length);
    g_slots[slot] = static_cast<unsigned>(g_keysUsed + 1);
    g_keysUsed += 2 + length;
    ++g_directories;
    return true;
}

}  // namespace Platform

// Faults at the C boundary: each kind comes back as its status with a text, and nothing throws. This program
// replaces the global allocation functions, so that any allocation from a set size on fails.
#include "Bytes.h"
#include "LiveSession.h"
#include "k4xtrace_c.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>

static std::size_t g_failFrom = SIZE_MAX;

void* operator new(std::size_t size)
{
    void* memory = size < g_failFrom ? std::malloc(size == 0 ? 1 : size) : nullptr;
    return memory != nullptr ? memory : throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

const std::string kLong(200, 'x');  // longer than any string keeps in place

void AnswerLong(void*, const char*, k4x_answer* answer) { k4x_set_answer(answer, kLong.c_str()); }

k4x_status AskWithLongAnswer(k4x_manager* manager)
{
    return k4x_out_file(manager, "C6x", AnswerLong, nullptr, nullptr, 0, nullptr);
}

k4x_status AskNobody(k4x_manager* manager) { return k4x_out_file(manager, "C6x", nullptr, nullptr, nullptr, 0, nullptr); }

k4x_status NameIntoTwoBytes(k4x_manager* manager)
{
    uint32_t number;
    char name[2];
    return k4x_device_info(manager, &number, &number, name, sizeof name, nullptr);
}

std::string LastError(k4x_manager* manager)
{
    char text[512] = "<no text>";
    k4x_last_error(manager, text, sizeof text, nullptr);
    return text;
}

// Each call on a fresh handle for K4x_DSP0, which has no settings file; the simulated target is on PATH.
TEST(CApiFaultTest, EveryFaultGivesItsStatusAndText)
{
    using M = k4x_manager*;
    const struct {
        const char* name;
        const char* library;  // null: the one beside this program
        bool starved;         // allocations of 100 bytes and more fail during the call
        k4x_status (*call)(k4x_manager*);
        k4x_status status;
        const char* text;  // a part of the handle's text after the call
    } rows[] = {
        // clang-format off
        // name                 library         starved call                                                             status                text
        {"NoLibrary",           "missing/x.so", false, nullptr,                                                          K4X_NO_LIBRARY,       "load the configuration library missing/x.so"},
        {"NullArgument",        nullptr,        false, [](M m) { return k4x_get_int(m, nullptr, nullptr); },             K4X_BAD_ARGUMENT,     "a required argument is NULL"},
        {"BadName",             nullptr,        false, [](M m) { return k4x_set_int(m, "Trace mode", 1); },              K4X_FAILED,           "Invalide property name"},
        {"WrongType",           nullptr,        false, [](M m) { return k4x_set_text(m, "Trace Mode", "1"); },           K4X_WRONG_TYPE,       "Trace Mode holds integer values"},
        {"FailingLoad",         nullptr,        false, [](M m) { return k4x_load(m, "bad.txt", K4X_FILE_TEXT); },        K4X_FAILED,           "Invalide property name"},
        {"MissingFile",         nullptr,        false, [](M m) { return k4x_load(m, "none.txt", K4X_FILE_TEXT); },       K4X_FAILED,           "nothing loaded from \"none.txt\": the file is missing"},
        {"UnwritableSave",      nullptr,        false, [](M m) { return k4x_save(m, "folder.txt", K4X_FILE_TEXT); },     K4X_FAILED,           "Failed to open file"},
        {"BufferTooSmall",      nullptr,        false, NameIntoTwoBytes,                                                 K4X_BUFFER_TOO_SMALL, "a text of 8 bytes does not fit a buffer of 2"},
        {"NoMemory",            nullptr,        true,  [](M m) { return k4x_set_text(m, "Event Bit0", kLong.c_str()); }, K4X_NO_MEMORY,        "out of memory"},
        {"AnswerWithoutMemory", nullptr,        true,  AskWithLongAnswer,                                                K4X_NO_MEMORY,        "the answer to the question could not be taken"},
        {"NoAnswer",            nullptr,        false, AskNobody,                                                        K4X_NOT_FOUND,        "no output file is known for C6x"},
        {"LiveWithoutSettings", nullptr,        false, [](M m) { return k4x_load_live(m); },                             K4X_FAILED,           "connected, but the device's settings file did not load"},
        // clang-format on
    };
    k4xtest::LiveSession session("default", "0");
    std::filesystem::create_directories(session.SettingsDirectory() + "/folder.txt");
    k4xtest::WriteBytes(session.SettingsDirectory() + "/bad.txt", "Trace mode = 1\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        k4x_manager* manager = nullptr;
        k4x_status status = k4x_open(row.library, "K4x_DSP0", 0, 0, &manager);
        g_failFrom = row.starved ? 100 : SIZE_MAX;
        if (row.call != nullptr && status == K4X_OK) status = row.call(manager);
        g_failFrom = SIZE_MAX;
        EXPECT_EQ(status, row.status);
        EXPECT_NE(LastError(manager).find(row.text), std::string::npos) << LastError(manager);
        EXPECT_EQ(k4x_close(manager), K4X_OK);
    }
}

}  // namespace

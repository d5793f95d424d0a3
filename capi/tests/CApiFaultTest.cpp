// Faults at the C boundary: each kind comes back as its status with a text, and nothing throws. This program's
// allocations fail from a set size on (k4x_failing_allocation).
#include "Bytes.h"
#include "FailingAllocation.h"
#include "LiveSession.h"
#include "k4xtrace_c.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace {

const std::string kLong(200, 'x');  // longer than any string keeps in place

void AnswerLong(void*, const char*, k4x_answer* answer) { k4x_set_answer(answer, kLong.c_str()); }

k4x_status AskWithLongAnswer(k4x_manager* manager)
{
    return k4x_out_file(manager, "C6x", AnswerLong, nullptr, nullptr, 0, nullptr);
}

k4x_status AskNobody(k4x_manager* manager) { return k4x_out_file(manager, "C6x", nullptr, nullptr, nullptr, 0, nullptr); }

// Nothing is written past the two bytes.
k4x_status NameIntoTwoBytes(k4x_manager* manager)
{
    uint32_t number;
    char name[4] = "###";
    const k4x_status status = k4x_device_info(manager, &number, &number, name, 2, nullptr);
    return name[2] == '#' ? status : K4X_FAILED;
}

// The handle's text after a failure of the library's own, copied into a buffer too small for it.
k4x_status FailureIntoTwoBytes(k4x_manager* manager)
{
    char text[2];
    k4x_set_int(manager, "Trace mode", 1);
    return k4x_last_error(manager, text, sizeof text, nullptr);
}

// A missing file leaves the library's text as the earlier failure left it: that text is not this failure's.
k4x_status MissingFileAfterAFailure(k4x_manager* manager)
{
    k4x_set_int(manager, "Trace mode", 1);
    return k4x_load(manager, "none.txt", K4X_FILE_TEXT);
}

// An empty text fits a buffer of one byte, its NUL.
k4x_status EmptyTextIntoOneByte(k4x_manager* manager)
{
    char text[1];
    return k4x_get_text(manager, "Event Bit1", text, sizeof text, nullptr);
}

k4x_status TextAsInteger(k4x_manager* manager)
{
    int32_t value;
    return k4x_get_int(manager, "Event Bit0", &value);
}

k4x_status PropertyAtCount(k4x_manager* manager)
{
    const char* name;
    k4x_type type;
    return k4x_property_at(manager, 12, &name, &type);
}

// Each call on a fresh handle for K4x_DSP0, which has no settings file; the simulated target is on PATH, and its
// CPU list throws an error that is not the tools library's, once.
TEST(CApiFaultTest, EveryFaultGivesItsStatusAndText)
{
    using M = k4x_manager*;
    const struct {
        const char* name;
        const char* library;  // null: the one beside this program
        size_t starved;       // allocations of this many bytes and more fail during the call
        k4x_status (*call)(k4x_manager*);
        k4x_status status;
        const char* text;  // a part of the handle's text after the call; "^" stands for its start, "$" for its end
    } rows[] = {
        // clang-format off
        // name                 library         starved   call                                                                status                text
        {"NoLibrary",           "missing/x.so", SIZE_MAX, nullptr,                                                          K4X_NO_LIBRARY,       "load the configuration library missing/x.so"},
        {"NullArgument",        nullptr,        SIZE_MAX, [](M m) { return k4x_get_int(m, nullptr, nullptr); },             K4X_BAD_ARGUMENT,     "a required argument is NULL"},
        // The first text longer than a string keeps in place cannot be stored: "out of memory" stands in its place.
        {"TextWithoutMemory",   nullptr,        16,       [](M m) { return k4x_get_int(m, nullptr, nullptr); },             K4X_BAD_ARGUMENT,     "^out of memory$"},
        {"BadName",             nullptr,        SIZE_MAX, [](M m) { return k4x_set_int(m, "Trace mode", 1); },              K4X_FAILED,           "Invalide property name"},
        {"WrongType",           nullptr,        SIZE_MAX, [](M m) { return k4x_set_text(m, "Trace Mode", "1"); },           K4X_WRONG_TYPE,       "Trace Mode holds integer values"},
        {"BooleanIntoInteger",  nullptr,        SIZE_MAX, [](M m) { return k4x_set_bool(m, "Trace Mode", 1); },             K4X_WRONG_TYPE,       "Trace Mode holds integer values"},
        {"TextAsInteger",       nullptr,        SIZE_MAX, TextAsInteger,                                                    K4X_WRONG_TYPE,       "Event Bit0 holds text values"},
        {"PropertyAtCount",     nullptr,        SIZE_MAX, PropertyAtCount,                                                  K4X_BAD_ARGUMENT,     "no property at index 12"},
        {"EmptyFileName",       nullptr,        SIZE_MAX, [](M m) { return k4x_save(m, "", K4X_FILE_TEXT); },               K4X_BAD_ARGUMENT,     "an empty file name"},
        {"FailingLoad",         nullptr,        SIZE_MAX, [](M m) { return k4x_load(m, "bad.txt", K4X_FILE_TEXT); },        K4X_FAILED,           "Invalide property name"},
        {"MissingFile",         nullptr,        SIZE_MAX, MissingFileAfterAFailure,                                         K4X_FAILED,           "nothing loaded from \"none.txt\": the file is missing or cannot be read, or it is no TDF container$"},
        {"UnwritableSave",      nullptr,        SIZE_MAX, [](M m) { return k4x_save(m, "folder.txt", K4X_FILE_TEXT); },     K4X_FAILED,           "Failed to open file"},
        {"EmptyIntoOneByte",    nullptr,        SIZE_MAX, EmptyTextIntoOneByte,                                             K4X_OK,               "^$"},
        {"BufferTooSmall",      nullptr,        SIZE_MAX, NameIntoTwoBytes,                                                 K4X_BUFFER_TOO_SMALL, "a text of 8 bytes does not fit a buffer of 2"},
        {"SizeWithoutBuffer",   nullptr,        SIZE_MAX, [](M m) { uint32_t n; return k4x_device_info(m, &n, &n, nullptr, 1, nullptr); }, K4X_BAD_ARGUMENT,     "a buffer size without a buffer"},
        {"FailureTooLong",      nullptr,        SIZE_MAX, FailureIntoTwoBytes,                                              K4X_BUFFER_TOO_SMALL, "Invalide property name$"},
        {"NoMemory",            nullptr,        100,      [](M m) { return k4x_set_text(m, "Event Bit0", kLong.c_str()); }, K4X_NO_MEMORY,        "out of memory"},
        {"AnswerWithoutMemory", nullptr,        100,      AskWithLongAnswer,                                                K4X_NO_MEMORY,        "the answer to the question could not be taken"},
        {"NoAnswer",            nullptr,        SIZE_MAX, AskNobody,                                                        K4X_NOT_FOUND,        "no output file is known for C6x"},
        {"LiveWithoutSettings", nullptr,        SIZE_MAX, [](M m) { return k4x_load_live(m); },                             K4X_FAILED,           "connected, but the device's settings file did not load"},
        {"OtherErrorInTarget",  nullptr,        SIZE_MAX, [](M m) { k4x_load_live(m); return AskNobody(m); },               K4X_EXCEPTION,        "exception: simulated fault of another kind in GetLiveCpus$"},
        // clang-format on
    };
    k4xtest::LiveSession session("default", "0");
    session.UseTarget("[faults]\nGetLiveCpus = throw other once\n");
    std::filesystem::create_directories(session.SettingsDirectory() + "/folder.txt");
    k4xtest::WriteBytes(session.SettingsDirectory() + "/bad.txt", "Trace mode = 1\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        k4x_manager* manager = nullptr;
        k4x_status status = k4x_open(row.library, "K4x_DSP0", 0, 0, &manager);
        k4xtest::g_failFrom = row.starved;
        if (row.call != nullptr && status == K4X_OK) status = row.call(manager);
        k4xtest::g_failFrom = SIZE_MAX;
        EXPECT_EQ(status, row.status);
        EXPECT_NE(("^" + std::string(k4x_error_text(manager)) + "$").find(row.text), std::string::npos)
            << k4x_error_text(manager);
        EXPECT_EQ(k4x_close(manager), K4X_OK);
    }
}

// Closing a handle destroys its manager, which closes the live connection it made, and leaves the library loaded for
// another handle.
TEST(CApiLifecycle, ClosingAHandleDestroysItsManagerOnly)
{
    k4xtest::LiveSession session("default");
    k4x_manager *first = nullptr, *second = nullptr;
    ASSERT_EQ(k4x_open(nullptr, "K4x_DSP0", 0, 0, &first), K4X_OK) << k4x_error_text(first);
    ASSERT_EQ(k4x_open(nullptr, "K4x_DSP1", 0, 0, &second), K4X_OK);
    k4x_load_live(first);
    EXPECT_EQ(k4x_close(first), K4X_OK);
    EXPECT_EQ(session.Log().Count("M:DCM: Destroying Channel Server "), 1);
    EXPECT_EQ(k4x_set_int(second, "Trace Mode", 1), K4X_OK);
    k4x_close(second);
}

// The list that hosts walk, against the library's table.
TEST(CApiFaultTest, ThePropertyListHoldsEveryPropertyWithItsType)
{
    k4xtest::ScratchProfile profile;
    k4x_manager* manager = nullptr;
    ASSERT_EQ(k4x_open(nullptr, "K4x_DSP0", 0, 0, &manager), K4X_OK) << k4x_error_text(manager);
    size_t count = 0;
    EXPECT_EQ(k4x_property_count(manager, &count), K4X_OK);
    std::string list;
    for (size_t index = 0; index < count; ++index) {
        const char* name = "<none>";
        k4x_type type = K4X_TEXT;
        EXPECT_EQ(k4x_property_at(manager, index, &name, &type), K4X_OK);
        list += std::string(name) + " " + std::to_string(type) + ";";
    }
    EXPECT_EQ(list, "Trace Mode 2;Encoding Mode 2;Sync Frequency 2;Number of AEG 2;Memory Mode 2;CEMU Status 2;"
                    "Event Bit0 6;Event Bit1 6;Event Bit2 6;Event Bit3 6;TWP_Protocol 5;CycleModeDelta 5;");
    int flag = 7;
    EXPECT_EQ(k4x_get_bool(manager, "CycleModeDelta", &flag), K4X_OK);
    EXPECT_EQ(flag, 1) << "true reads as 1";
    k4x_close(manager);
}

}  // namespace

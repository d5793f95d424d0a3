// The C calls that move a configuration: load, save, the live load, and
// the output-file lookup with the host's question.
#include "Handle.h"

using namespace k4xc;

// What one question of k4x_out_file gets back.
struct k4x_answer {
    std::string& path;
    k4x_status status;
};

namespace {

// A failure that set no text of the library's gets this layer's reason.
k4x_status Refused(k4x_manager* handle, const std::string& error, const std::string& reason)
{
    return Fail(handle, K4X_FAILED, error.empty() ? reason : error);
}

k4x_status CheckFile(k4x_manager* handle, const char* file)
{
    const k4x_status status = Check(handle, {file});
    if (status != K4X_OK || *file != '\0') return status;
    return Fail(handle, K4X_BAD_ARGUMENT, "an empty file name");
}

// The host's question as the library's callback, for one lookup.
class Question final : public Zr::Kdt::Trace::CHostCallback {
public:
    Question(k4x_question question, void* userData) : m_question(question), m_userData(userData) {}

    bool Query(const std::string& prompt, int32_t /*value*/, std::string& answer) override
    {
        k4x_answer reply{answer, K4X_OK};
        m_question(m_userData, prompt.c_str(), &reply);
        if (reply.status != K4X_OK) m_status = reply.status;
        return !answer.empty();
    }

    k4x_status Status() const { return m_status; }

private:
    k4x_question m_question;
    void* m_userData;
    k4x_status m_status = K4X_OK;
};

// Registers the question for the life of one lookup.
class Asking {
public:
    Asking(Zr::Kdt::Trace::CDeviceConfigManager& manager, Question* question) : m_manager(manager)
    {
        m_manager.SetHostCallback(question);
    }
    ~Asking() { m_manager.SetHostCallback(nullptr); }
    Asking(const Asking&) = delete;
    Asking& operator=(const Asking&) = delete;

private:
    Zr::Kdt::Trace::CDeviceConfigManager& m_manager;
};

}  // namespace

extern "C" {

K4X_C_API k4x_status k4x_load(k4x_manager* manager, const char* file, k4x_file_type file_type)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = CheckFile(manager, file); status != K4X_OK) return status;
        std::string error;
        if (manager->device->Load(file, file_type, error)) return K4X_OK;
        return Refused(manager, error,
                       std::string("nothing loaded from \"") + file +
                           "\": the file is missing or cannot be read, or it is no TDF container");
    });
}

K4X_C_API k4x_status k4x_save(k4x_manager* manager, const char* file, k4x_file_type file_type)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = CheckFile(manager, file); status != K4X_OK) return status;
        std::string error;
        if (manager->device->Save(file, static_cast<uint32_t>(file_type), error)) return K4X_OK;
        return Refused(manager, error, std::string("nothing saved to \"") + file + "\"");
    });
}

K4X_C_API k4x_status k4x_load_live(k4x_manager* manager)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {}); status != K4X_OK) return status;
        std::string error;
        if (manager->device->ConnectLive(error)) return K4X_OK;
        return Refused(manager, error,
                       "connected, but the device's settings file did not load: it is missing or cannot be read");
    });
}

K4X_C_API k4x_status k4x_out_file(k4x_manager* manager, const char* cpu_name, k4x_question question, void* user_data,
                                  char* buffer, size_t size, size_t* length)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {cpu_name}); status != K4X_OK) return status;
        Question asked(question, user_data);
        std::string path;
        bool found = false;
        {
            Asking asking(manager->device->Manager(), question != nullptr ? &asked : nullptr);
            found = manager->device->Manager().GetOutFile(cpu_name, path);
        }
        if (asked.Status() != K4X_OK)
            return Fail(manager, asked.Status(), "the answer to the question could not be taken");
        if (!found) return Fail(manager, K4X_NOT_FOUND, std::string("no output file is known for ") + cpu_name);
        return CopyOut(manager, path, buffer, size, length);
    });
}

K4X_C_API k4x_status k4x_set_answer(k4x_answer* answer, const char* path)
{
    if (answer == nullptr || path == nullptr) return K4X_BAD_ARGUMENT;
    const k4x_status status = Guarded(nullptr, [&] {
        answer->path = path;
        return K4X_OK;
    });
    if (status != K4X_OK) answer->status = status;
    return status;
}
}

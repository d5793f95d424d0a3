// Where a configuration is kept, as the user names it on the command line:
//   settings      the CPU's settings file (what a new manager loads)
//   text:NAME     a text file NAME in the settings directory
//   dcm:NAME      the text file NAME.dcm in the settings directory
//   tdf:PATH      the AETCONFIG section of the TDF container PATH
//   PATH.tdf      the same as tdf:PATH
//   NAME          the same as text:NAME
#pragma once

#include "Session.h"

#include <string>

namespace k4xtrace {

class Store {
public:
    enum Kind { Kind_Settings, Kind_Text, Kind_Dcm, Kind_Tdf };

    // False when the text names no store (an empty name).
    static bool Parse(const std::string& text, Store& store);

    Kind GetKind() const { return m_kind; }
    // What the user wrote, for headings.
    const std::string& Label() const { return m_label; }

    // The file the library reads or writes for this store, with the
    // settings directory the library published.
    std::string LoadPath(const Device& device) const;
    std::string SavePath(const Device& device) const;

    // Runs the library's load or save; false with the reason in error.
    bool Load(Device& device, std::string& error) const;
    bool Save(Device& device, std::string& error) const;

private:
    // What the library's save is given: a name and the file type.
    std::string SaveName(const Device& device) const;
    Zr::Kdt::Trace::FileType SaveType() const;
    bool SaveTdf(Device& device, std::string& error) const;

    Kind m_kind = Kind_Settings;
    std::string m_name;
    std::string m_label;
};

}  // namespace k4xtrace

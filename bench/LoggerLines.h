// The log line of the logger benchmarks and counts, and spdlog set up to
// write the same bytes the same way: one file, a flush after every line.
#pragma once

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <string>

#include "uLogger.h"

namespace k4xbench {

inline constexpr char kLoggedPath[] = "/home/user/.ZR-trace/settings/K4x_Core0-TCfg.txt";

// "M     14:03:07:045 | K4xDeviceCfgMgr: Found input file <path> \n", the
// line that uLogger writes for category 1 and stamp style 2.
inline void LogLine(ZR_KDT::uLogger& logger)
{
    logger.Log(ZR_KDT::LogCategory_Message, ZR_KDT::LogStamp_Time, "K4xDeviceCfgMgr: Found input file %s ",
               kLoggedPath);
}

inline void LogLine(spdlog::logger& logger) { logger.info("K4xDeviceCfgMgr: Found input file {} ", kLoggedPath); }

// A new spdlog logger that empties path and writes uLogger's bytes to it.
inline std::shared_ptr<spdlog::logger> MakeSpdlog(const std::string& path)
{
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(path, true);
    auto logger = std::make_shared<spdlog::logger>("bench", std::move(sink));
    logger->set_pattern("M     %H:%M:%S:%e | %v");
    logger->flush_on(spdlog::level::trace);
    return logger;
}

}  // namespace k4xbench

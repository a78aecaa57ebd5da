#include "engine/core/cLog.h"

#include "engine/core/Version.h"
#include "engine/filesystem/DiskFiles.h"

namespace velmora {

namespace {
const cColor kPrintColor(198, 198, 198, 255);
}

cLog::~cLog() { Close(); }

void cLog::Close() {
    if (!m_File) {
        return;
    }
    std::fputs("</pre>\n", m_File);
    std::fputs("</body>\n", m_File);
    std::fclose(m_File);
    m_File = nullptr;
}

void cLog::Release() { delete this; }

bool cLog::Open(const char* fileName) {
    Close();
    if (!fileName) {
        return false;
    }
    m_File = OpenDiskFile(fileName, "wt");
    if (!m_File) {
        return false;
    }
    std::fprintf(m_File, "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">\n");
    std::fprintf(m_File, "<title>%s</title>\n", fileName);
    std::fprintf(m_File, "<body bgcolor=\"#%X%X%X\">\n", 86, 86, 86);
    std::fprintf(m_File, "<pre>\n");
    std::fprintf(m_File, "<h2><font color=\"#FF9900\" size=\"+2\" style=\"font-style:italic\">%s</font></h2>\n",
                 fileName);
    std::fprintf(m_File, "<font color=\"#DDDDDD\">%s%s %s-%s %s %s</font>\n", kEngineName, kBuildKind,
                 kPlatformName, kArchName, kBuildDate, kBuildTime);
    std::fprintf(m_File,
                 "<font color=\"#CCCCCC\">----------------------------------------------------------</font>\n");
    std::fflush(m_File);
    return true;
}

void cLog::Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    PrintColoredV(kPrintColor, format, args);
    va_end(args);
}

void cLog::PrintColored(const cColor& color, const char* format, ...) {
    va_list args;
    va_start(args, format);
    PrintColoredV(color, format, args);
    va_end(args);
}

void cLog::PrintColoredV(const cColor& color, const char* format, va_list args) {
    if (!m_File) {
        return;
    }
    char buffer[4096] = {};
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    std::fprintf(m_File, "<font color=\"#%X%X%X\">%s</font>", color.r, color.g, color.b, buffer);
    std::fflush(m_File);
}

} // namespace velmora

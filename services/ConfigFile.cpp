#include "services/ConfigFile.h"

#include <fstream>
#include <istream>
#include <ostream>

#include <sys/stat.h>

namespace {

// getline without the line end; a trailing '\r' from a Windows file goes too,
// so continuation values never carry it.
bool readLine(std::istream& is, std::string& line) {
    if (!std::getline(is, line)) {
        line.clear();
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void cutComment(std::string& line, const std::string& comment) {
    if (comment.empty()) return;
    const std::string::size_type at = line.find(comment);
    if (at != std::string::npos) line.erase(at);
}

bool holds(const std::string& line, const std::string& marker) {
    return !marker.empty() && line.find(marker) != std::string::npos;
}

}  // namespace

ConfigFile::ConfigFile() : delimiter("="), comment("#") {}

ConfigFile::ConfigFile(std::string filename, std::string delimiter, std::string comment, std::string sentry)
    : delimiter(std::move(delimiter)), comment(std::move(comment)), sentry(std::move(sentry)) {
    // Only regular files: a FIFO would block the open, a folder reads nothing.
    struct stat st;
    if (::stat(filename.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw file_not_found(filename);
    std::ifstream in(filename.c_str());
    if (!in) throw file_not_found(filename);
    in >> (*this);
}

void ConfigFile::remove(const std::string& key) { contents.erase(key); }

bool ConfigFile::keyExists(const std::string& key) const { return contents.find(key) != contents.end(); }

void ConfigFile::trim(std::string& s) {
    static const char whitespace[] = " \n\t\v\r\f";
    s.erase(0, s.find_first_not_of(whitespace));
    s.erase(s.find_last_not_of(whitespace) + 1);
}

std::ostream& operator<<(std::ostream& os, const ConfigFile& cf) {
    for (const auto& entry : cf.contents)
        os << entry.first << " " << cf.delimiter << " " << entry.second << std::endl;
    return os;
}

std::istream& operator>>(std::istream& is, ConfigFile& cf) {
    const std::string& delim = cf.delimiter;
    const std::string& comm = cf.comment;
    const std::string& sentry = cf.sentry;

    // A line read ahead while looking for the end of a value comes back here.
    std::string nextline;

    while (is || !nextline.empty()) {
        std::string line;
        if (!nextline.empty()) {
            line.swap(nextline);
        } else {
            readLine(is, line);
        }

        cutComment(line, comm);
        if (holds(line, sentry)) return is;

        const std::string::size_type delimPos = line.find(delim);
        if (delim.empty() || delimPos == std::string::npos) continue;

        std::string key = line.substr(0, delimPos);
        line.erase(0, delimPos + delim.size());

        // Continuation lines: no delimiter, no end marker, not blank.
        while (is) {
            if (!readLine(is, nextline)) break;
            std::string copy = nextline;
            ConfigFile::trim(copy);
            if (copy.empty()) break;  // a blank line ends the value
            cutComment(nextline, comm);
            if (nextline.find(delim) != std::string::npos || holds(nextline, sentry)) break;
            copy = nextline;
            ConfigFile::trim(copy);
            if (!copy.empty()) line += "\n";
            line += nextline;
            nextline.clear();
        }

        ConfigFile::trim(key);
        ConfigFile::trim(line);
        cf.contents[key] = line;
    }
    return is;
}

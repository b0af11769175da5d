#pragma once
// Key/delimiter/value text files ("prefs.cfg"). Values may run on over the
// following lines; "#"-style comments cut lines; an end marker stops reading.

#include <iosfwd>
#include <map>
#include <sstream>
#include <string>

class ConfigFile {
public:
    std::string delimiter;
    std::string comment;
    std::string sentry;  // end marker; empty means none
    std::map<std::string, std::string> contents;

    struct file_not_found {
        std::string filename;
        explicit file_not_found(const std::string& filename = std::string()) : filename(filename) {}
    };
    struct key_not_found {
        std::string key;
        explicit key_not_found(const std::string& key = std::string()) : key(key) {}
    };

    ConfigFile();
    // Throws file_not_found when `filename` is not a readable regular file.
    ConfigFile(std::string filename, std::string delimiter = "=", std::string comment = "#",
               std::string sentry = std::string());

    // Converts the value under `key` into `target`. False, with `target`
    // untouched, when the key is missing or its value does not convert.
    template <class T>
    bool readInto(T& target, const std::string& key) const;

    template <class T>
    void add(std::string key, const T& value);

    void remove(const std::string& key);
    bool keyExists(const std::string& key) const;

    static void trim(std::string& s);

    template <class T>
    static T string_as_T(const std::string& s);
    template <class T>
    static std::string T_as_string(const T& t);

    friend std::istream& operator>>(std::istream& is, ConfigFile& cf);
    friend std::ostream& operator<<(std::ostream& os, const ConfigFile& cf);

private:
    // The conversion behind readInto and string_as_T; false when `s` does not
    // begin with a value of type T (after white space) or it overflows.
    template <class T>
    static bool convert(const std::string& s, T& out);
};

template <class T>
bool ConfigFile::convert(const std::string& s, T& out) {
    std::istringstream ist(s);
    T t{};
    if (!(ist >> t)) return false;
    out = t;
    return true;
}

template <>
inline bool ConfigFile::convert<std::string>(const std::string& s, std::string& out) {
    out = s;
    return true;
}

template <class T>
T ConfigFile::string_as_T(const std::string& s) {
    T t{};
    convert(s, t);
    return t;
}

template <class T>
std::string ConfigFile::T_as_string(const T& t) {
    std::ostringstream ost;
    ost << t;
    return ost.str();
}

template <class T>
bool ConfigFile::readInto(T& target, const std::string& key) const {
    auto p = contents.find(key);
    if (p == contents.end()) return false;
    return convert(p->second, target);
}

template <class T>
void ConfigFile::add(std::string key, const T& value) {
    std::string v = T_as_string(value);
    trim(key);
    trim(v);
    contents[key] = v;
}

#include "machine.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr unsigned long long unlimited = ~0ull;

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The words of text between white space.
std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The parts of text between separators, empty ones left out.
std::vector<std::string> partsOf(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

bool contains(const std::vector<std::string>& words, const std::string& word)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

// A whole decimal number; unlimited for anything else ("max", "unlimited", "").
unsigned long long numberOrUnlimited(const std::string& text)
{
    const std::string digits = text.substr(0, text.find_last_not_of(" \t\n") + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return unlimited;
    return std::strtoull(digits.c_str(), nullptr, 10);
}

unsigned long long lessOrNothing(unsigned long long room, unsigned long long used)
{
    if (room == unlimited)
        return unlimited;
    return room > used ? room - used : 0;
}

// The value of a "Name: value kB" line of /proc/meminfo or /proc/self/status, in bytes.
unsigned long long kibibyteField(const std::string& text, const std::string& name)
{
    for (const std::string& line : partsOf(text, '\n')) {
        if (line.rfind(name + ":", 0) != 0)
            continue;
        const std::vector<std::string> words = wordsOf(line.substr(name.size() + 1));
        const unsigned long long kibibytes = words.empty() ? unlimited : numberOrUnlimited(words[0]);
        return kibibytes == unlimited ? unlimited : kibibytes * 1024;
    }
    return unlimited;
}

// The soft limit named in /proc/self/limits ("Max address space  unlimited  unlimited  bytes").
unsigned long long softLimit(const std::string& limits, const std::string& name)
{
    for (const std::string& line : partsOf(limits, '\n')) {
        if (line.rfind(name, 0) != 0)
            continue;
        const std::vector<std::string> words = wordsOf(line.substr(name.size()));
        return words.empty() ? unlimited : numberOrUnlimited(words[0]);
    }
    return unlimited;
}

// The value of a "name value" line of a cgroup's memory.stat; 0 when absent.
unsigned long long statField(const std::string& stat, const std::string& name)
{
    for (const std::string& line : partsOf(stat, '\n')) {
        const std::vector<std::string> words = wordsOf(line);
        if (words.size() == 2 && words[0] == name) {
            const unsigned long long value = numberOrUnlimited(words[1]);
            return value == unlimited ? 0 : value;
        }
    }
    return 0;
}

// Mount paths in /proc/self/mountinfo write spaces and the like as \ooo.
std::string unescapedMountPath(const std::string& path)
{
    std::string plain;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::string code = path.substr(i + 1, 3);
        if (path[i] == '\\' && code.size() == 3 && code.find_first_not_of("01234567") == std::string::npos) {
            plain += static_cast<char>(std::strtol(code.c_str(), nullptr, 8));
            i += 3;
        } else {
            plain += path[i];
        }
    }
    return plain;
}

// The files of one cgroup version's memory controller.
struct MemoryController {
    const char* limit;
    const char* usage;
    const char* reclaimableCache;  // key in memory.stat
};
const MemoryController cgroupVersion1{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_inactive_file"};
const MemoryController cgroupVersion2{"memory.max", "memory.current", "inactive_file"};

// Where this process's memory cgroup is, as a directory, and which version it
// is; "" when it has none or its hierarchy is not mounted here.
std::string memoryCgroupDirectory(const MemoryController*& controller, std::string& mountPoint)
{
    // "hierarchy:controllers:path"; version 1's memory controller has a line of
    // its own, version 2's single hierarchy is "0::path". On machines with both,
    // memory is accounted where version 1 names it.
    std::string path;
    bool version1 = false;
    for (const std::string& line : partsOf(readSystemFile("/proc/self/cgroup"), '\n')) {
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        if (contains(partsOf(controllers, ','), "memory")) {
            path = line.substr(second + 1);
            version1 = true;
            break;
        }
        if (line.substr(0, first) == "0" && controllers.empty())
            path = line.substr(second + 1);
    }
    if (path.empty())
        return "";
    controller = version1 ? &cgroupVersion1 : &cgroupVersion2;

    // "id parent device root mountpoint options [optional...] - type source superoptions"
    for (const std::string& line : partsOf(readSystemFile("/proc/self/mountinfo"), '\n')) {
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos)
            continue;
        const std::vector<std::string> before = wordsOf(line.substr(0, separator));
        const std::vector<std::string> after = wordsOf(line.substr(separator + 3));
        if (before.size() < 5 || after.size() < 3)
            continue;
        const bool wanted = version1 ? after[0] == "cgroup" && contains(partsOf(after[2], ','), "memory")
                                     : after[0] == "cgroup2";
        if (!wanted)
            continue;
        const std::string root = unescapedMountPath(before[3]);
        if (path.rfind(root, 0) != 0)
            continue;  // the cgroup lies outside what this mount shows
        mountPoint = unescapedMountPath(before[4]);
        std::string relative = root == "/" ? path : path.substr(root.size());
        while (!relative.empty() && relative.back() == '/')
            relative.pop_back();
        return mountPoint + relative;
    }
    return "";
}

// The room under the memory cgroup's limits, at its level and every one above it.
unsigned long long cgroupRoom()
{
    const MemoryController* controller = nullptr;
    std::string mountPoint;
    std::string directory = memoryCgroupDirectory(controller, mountPoint);
    unsigned long long room = unlimited;
    while (!directory.empty()) {
        const unsigned long long limit = numberOrUnlimited(readSystemFile(directory + "/" + controller->limit));
        if (limit != unlimited) {
            const unsigned long long usage = numberOrUnlimited(readSystemFile(directory + "/" + controller->usage));
            const unsigned long long cache =
                statField(readSystemFile(directory + "/memory.stat"), controller->reclaimableCache);
            const unsigned long long used = usage == unlimited ? 0 : (usage > cache ? usage - cache : 0);
            const unsigned long long left = lessOrNothing(limit, used);
            room = std::min(room, left);
        }
        if (directory.size() <= mountPoint.size())
            break;
        directory.erase(directory.rfind('/'));
    }
    return room;
}

}  // namespace

// Read by memoryRoom and onlineProcessors; only tests ever point it elsewhere.
std::string (*readSystemFile)(const std::string& path) = readWholeFile;

MemoryRoom memoryRoom()
{
    const std::string memory = readSystemFile("/proc/meminfo");
    const std::string status = readSystemFile("/proc/self/status");
    const std::string limits = readSystemFile("/proc/self/limits");

    MemoryRoom room;
    room.resident = std::min({kibibyteField(memory, "MemTotal"), kibibyteField(memory, "MemAvailable"), cgroupRoom()});
    const unsigned long long mapped = kibibyteField(status, "VmSize");
    const unsigned long long data = kibibyteField(status, "VmData");
    room.mapped = std::min(lessOrNothing(softLimit(limits, "Max address space"), mapped == unlimited ? 0 : mapped),
                           lessOrNothing(softLimit(limits, "Max data size"), data == unlimited ? 0 : data));
    return room;
}

int onlineProcessors()
{
    // "0-3,8-11": ranges and single numbers.
    int count = 0;
    for (const std::string& range : partsOf(readSystemFile("/sys/devices/system/cpu/online"), ',')) {
        const std::size_t dash = range.find('-');
        const int first = std::atoi(range.c_str());
        const int last = dash == std::string::npos ? first : std::atoi(range.c_str() + dash + 1);
        count += last >= first ? last - first + 1 : 0;
    }
    return count > 0 ? count : 1;
}

#include "machine.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr unsigned long long unlimited = ~0ull;

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> subdirectoriesOf(const std::string& path)
{
    std::vector<std::string> names;
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr)
        return names;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (entry->d_type == DT_DIR && name != "." && name != "..")
            names.push_back(name);
    }
    closedir(directory);
    return names;
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

// The first word of a "Name: value" line of /proc/meminfo or a /proc status file; "" when absent.
std::string statusField(const std::string& status, const std::string& name)
{
    for (const std::string& line : partsOf(status, '\n')) {
        if (line.rfind(name + ":", 0) == 0) {
            const std::vector<std::string> words = wordsOf(line.substr(name.size() + 1));
            return words.empty() ? "" : words[0];
        }
    }
    return "";
}

// The value of a "Name: value kB" line of /proc/meminfo or /proc/self/status, in bytes.
unsigned long long kibibyteField(const std::string& text, const std::string& name)
{
    const unsigned long long kibibytes = numberOrUnlimited(statusField(text, name));
    return kibibytes == unlimited ? unlimited : kibibytes * 1024;
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

// A path of /proc/self/cgroup, or the root of a cgroup mount in mountinfo, as
// the process's cgroup namespace shows it: from the namespace's root, up a
// level for each leading "..", then down through the names.
struct NamespacePath {
    std::size_t levelsUp = 0;
    std::vector<std::string> names;
};

NamespacePath namespacePath(const std::string& path)
{
    NamespacePath parsed;
    for (const std::string& name : partsOf(path, '/')) {
        if (name == ".." && parsed.names.empty())
            ++parsed.levelsUp;
        else
            parsed.names.push_back(name);
    }
    return parsed;
}

// Where a cgroup lies below the root of a mount of its hierarchy: some levels
// whose names the namespace hides, then names it shows.
struct PlaceBelowMount {
    bool shown = false;  // whether the mount shows the cgroup at all
    std::size_t hiddenLevels = 0;
    std::vector<std::string> names;
};

// The kernel writes both paths the shortest way, so a path's first name after
// its ".." leads away from the namespace's root: a mount whose root goes up
// fewer levels than the cgroup's path, or goes up and then down, cannot show
// the cgroup. A mount made outside the namespace, as one "unshare -C" inherits,
// has a root like "/../..": it shows the hierarchy from two levels above the
// namespace's root, whose names are not told. Names are compared whole: a
// mount of /a/b does not show /a/bc.
PlaceBelowMount placeBelowMount(const std::string& mountRoot, const std::string& cgroup)
{
    const NamespacePath root = namespacePath(mountRoot);
    const NamespacePath path = namespacePath(cgroup);
    PlaceBelowMount place;
    if (root.levelsUp == path.levelsUp) {
        place.shown = path.names.size() >= root.names.size() &&
                      std::equal(root.names.begin(), root.names.end(), path.names.begin());
        if (place.shown)
            place.names.assign(path.names.begin() + static_cast<std::ptrdiff_t>(root.names.size()), path.names.end());
    } else if (root.levelsUp > path.levelsUp && root.names.empty()) {
        place = {true, root.levelsUp - path.levelsUp, path.names};
    }
    return place;
}

// The directory of this process's cgroup below a directory of a hierarchy, the
// hidden levels below it searched for the one that lists the process; "" when
// none does.
std::string directoryListingThisProcess(const std::string& top, const PlaceBelowMount& place)
{
    std::string shown;
    for (const std::string& name : place.names)
        shown += "/" + name;
    if (place.hiddenLevels == 0)
        return top + shown;
    std::vector<std::string> candidates{top};
    for (std::size_t level = 0; level < place.hiddenLevels; ++level) {
        std::vector<std::string> deeper;
        for (const std::string& candidate : candidates) {
            for (const std::string& name : listSystemDirectory(candidate))
                deeper.push_back(candidate + "/" + name);
        }
        candidates.swap(deeper);
    }
    const std::string process = std::to_string(getpid());
    for (const std::string& candidate : candidates) {
        if (contains(wordsOf(readSystemFile(candidate + shown + "/cgroup.procs")), process))
            return candidate + shown;
    }
    return "";
}

// One cgroup version's names for the memory controller's files. Before its
// out-of-memory killer acts, the kernel reclaims file cache from both of its
// lists, active and inactive, but cache not yet written to disk only as fast
// as the disk takes it.
struct CgroupVersion {
    const char* memoryLimit;
    const char* memoryUsage;
    // memory.stat's keys
    const char* activeCache;
    const char* inactiveCache;
    const char* dirtyCache;
    const char* cacheBeingWritten;
};
const CgroupVersion cgroupVersion1{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_active_file",
                                   "total_inactive_file",   "total_dirty",           "total_writeback"};
const CgroupVersion cgroupVersion2{"memory.max",    "memory.current", "active_file",
                                   "inactive_file", "file_dirty",     "file_writeback"};

// Where this process's cgroup of a controller ("memory", "pids") is, as a
// directory, and in which version; "" when it has none or no mount here shows
// it. mountPoint is where the hierarchy's mount that shows it is mounted.
std::string cgroupDirectory(const std::string& controller, const CgroupVersion*& version, std::string& mountPoint)
{
    // "hierarchy:controllers:path"; a version 1 controller has a line of its
    // own, version 2's single hierarchy is "0::path". On machines with both,
    // a controller works where version 1 names it.
    std::string path;
    bool version1 = false;
    for (const std::string& line : partsOf(readSystemFile("/proc/self/cgroup"), '\n')) {
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        if (contains(partsOf(controllers, ','), controller)) {
            path = line.substr(second + 1);
            version1 = true;
            break;
        }
        if (line.substr(0, first) == "0" && controllers.empty())
            path = line.substr(second + 1);
    }
    if (path.empty())
        return "";
    version = version1 ? &cgroupVersion1 : &cgroupVersion2;

    // "id parent device root mountpoint options [optional...] - type source superoptions"
    for (const std::string& line : partsOf(readSystemFile("/proc/self/mountinfo"), '\n')) {
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos)
            continue;
        const std::vector<std::string> before = wordsOf(line.substr(0, separator));
        const std::vector<std::string> after = wordsOf(line.substr(separator + 3));
        if (before.size() < 5 || after.size() < 3)
            continue;
        const bool wanted = version1 ? after[0] == "cgroup" && contains(partsOf(after[2], ','), controller)
                                     : after[0] == "cgroup2";
        if (!wanted)
            continue;
        const PlaceBelowMount place = placeBelowMount(unescapedMountPath(before[3]), path);
        if (!place.shown)
            continue;
        mountPoint = unescapedMountPath(before[4]);
        while (!mountPoint.empty() && mountPoint.back() == '/')
            mountPoint.pop_back();
        const std::string directory = directoryListingThisProcess(mountPoint, place);
        if (!directory.empty())
            return directory;
    }
    return "";
}

// The least room under a controller's limits, at the process's cgroup and at
// every level above it that the mount shows: what roomAt says of each
// directory, unlimited where no level limits it.
template <typename RoomAt>
unsigned long long leastRoomInCgroups(const std::string& controller, RoomAt roomAt)
{
    const CgroupVersion* version = nullptr;
    std::string mountPoint;
    std::string directory = cgroupDirectory(controller, version, mountPoint);
    unsigned long long room = unlimited;
    while (!directory.empty()) {
        room = std::min(room, roomAt(directory, *version));
        if (directory.size() <= mountPoint.size())
            break;
        directory.erase(directory.rfind('/'));
    }
    return room;
}

unsigned long long memoryCgroupRoom()
{
    return leastRoomInCgroups("memory", [](const std::string& directory, const CgroupVersion& version) {
        const unsigned long long limit = numberOrUnlimited(readSystemFile(directory + "/" + version.memoryLimit));
        if (limit == unlimited)
            return unlimited;
        const unsigned long long usage = numberOrUnlimited(readSystemFile(directory + "/" + version.memoryUsage));
        const std::string stat = readSystemFile(directory + "/memory.stat");
        const unsigned long long cache = statField(stat, version.activeCache) + statField(stat, version.inactiveCache);
        const unsigned long long unwritten =
            statField(stat, version.dirtyCache) + statField(stat, version.cacheBeingWritten);
        const unsigned long long reclaimable = cache > unwritten ? cache - unwritten : 0;
        const unsigned long long used = usage == unlimited ? 0 : (usage > reclaimable ? usage - reclaimable : 0);
        return lessOrNothing(limit, used);
    });
}

unsigned long long pidsCgroupRoom()
{
    return leastRoomInCgroups("pids", [](const std::string& directory, const CgroupVersion&) {
        const unsigned long long current = numberOrUnlimited(readSystemFile(directory + "/pids.current"));
        return lessOrNothing(numberOrUnlimited(readSystemFile(directory + "/pids.max")),
                             current == unlimited ? 0 : current);
    });
}

// ulimit -u counts the threads of every process of the real user. The kernel
// lets the real root user past it, and a process that may override limits
// (CAP_SYS_RESOURCE or CAP_SYS_ADMIN), both only in the initial user namespace.
unsigned long long userThreadRoom(const std::string& status, const std::string& limits)
{
    const unsigned long long limit = softLimit(limits, "Max processes");
    if (limit == unlimited)
        return unlimited;
    const std::string user = statusField(status, "Uid");
    const std::vector<std::string> userMap = wordsOf(readSystemFile("/proc/self/uid_map"));
    const bool initialNamespace = userMap.empty() || userMap == std::vector<std::string>{"0", "0", "4294967295"};
    const unsigned long long capabilities = std::strtoull(statusField(status, "CapEff").c_str(), nullptr, 16);
    const unsigned long long overridesLimits = (1ull << 21) | (1ull << 24);
    if (initialNamespace && (user == "0" || (capabilities & overridesLimits) != 0))
        return unlimited;
    unsigned long long threads = 0;
    for (const std::string& process : listSystemDirectory("/proc")) {
        if (process.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string other = readSystemFile("/proc/" + process + "/status");
        if (statusField(other, "Uid") == user)
            threads += std::strtoull(statusField(other, "Threads").c_str(), nullptr, 10);
    }
    return lessOrNothing(limit, threads);
}

// "0-3,8-11": ranges and single numbers; 0 when there are none.
int countOfList(const std::string& list)
{
    int count = 0;
    for (const std::string& range : partsOf(list, ',')) {
        const std::size_t dash = range.find('-');
        const int first = std::atoi(range.c_str());
        const int last = dash == std::string::npos ? first : std::atoi(range.c_str() + dash + 1);
        count += last >= first ? last - first + 1 : 0;
    }
    return count;
}

}  // namespace

// Read by every function below; only tests ever point them elsewhere.
std::string (*readSystemFile)(const std::string& path) = readWholeFile;
std::vector<std::string> (*listSystemDirectory)(const std::string& path) = subdirectoriesOf;

MemoryRoom memoryRoom()
{
    const std::string memory = readSystemFile("/proc/meminfo");
    const std::string status = readSystemFile("/proc/self/status");
    const std::string limits = readSystemFile("/proc/self/limits");

    MemoryRoom room;
    room.resident =
        std::min({kibibyteField(memory, "MemTotal"), kibibyteField(memory, "MemAvailable"), memoryCgroupRoom()});
    const unsigned long long mapped = kibibyteField(status, "VmSize");
    const unsigned long long data = kibibyteField(status, "VmData");
    room.mapped = lessOrNothing(softLimit(limits, "Max address space"), mapped == unlimited ? 0 : mapped);
    room.data = lessOrNothing(softLimit(limits, "Max data size"), data == unlimited ? 0 : data);
    return room;
}

unsigned long long threadRoom()
{
    return std::min(pidsCgroupRoom(),
                    userThreadRoom(readSystemFile("/proc/self/status"), readSystemFile("/proc/self/limits")));
}

unsigned long long threadStackBytes()
{
    // glibc's rule: the soft stack limit, 2 MiB when it is unlimited, at least
    // 16 KiB, in whole pages.
    const unsigned long long limit = softLimit(readSystemFile("/proc/self/limits"), "Max stack size");
    const unsigned long long page = static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    const unsigned long long stack = limit == unlimited ? 2ull << 20 : std::max(limit, 16ull << 10);
    return (stack + page - 1) / page * page;
}

int onlineProcessors()
{
    const int count = countOfList(readSystemFile("/sys/devices/system/cpu/online"));
    return count > 0 ? count : 1;
}

int usableProcessors()
{
    const int count = countOfList(statusField(readSystemFile("/proc/self/status"), "Cpus_allowed_list"));
    return count > 0 ? count : onlineProcessors();
}

int llvmpipeRasterizerThreads()
{
    // llvmpipe reads the variable with strtol in any base, keeps its default
    // when no digit comes first, holds the count as a 32-bit unsigned number
    // and starts at most 32.
    const int processors = usableProcessors();
    long count = processors > 1 ? processors : 0;
    if (const char* text = std::getenv("LP_NUM_THREADS")) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 0);
        if (end != text)
            count = value;
    }
    return static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(count), 32));
}

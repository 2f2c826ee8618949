#pragma once

#include <cstddef>
#include <string>

namespace SF_SOFT_BASE {

// A temporary file made beside a target under the program's own name form,
// "<target>.~lumivex-XXXXXX" (mkstemp's six letters or digits), and locked
// (flock) for as long as this object holds it: a start-up clean-up leaves a
// held temporary alone, as one a running writer still writes.
class CHeldTemporary {
public:
    static constexpr const char* kMark = ".~lumivex-";
    static constexpr std::size_t kMarkSize = 10;
    static constexpr std::size_t kRandomSize = 6;
    static constexpr std::size_t kSuffixSize = kMarkSize + kRandomSize;

    CHeldTemporary() = default;
    ~CHeldTemporary();
    CHeldTemporary(CHeldTemporary&& other) noexcept;
    CHeldTemporary& operator=(CHeldTemporary&& other) noexcept;
    CHeldTemporary(const CHeldTemporary&) = delete;
    CHeldTemporary& operator=(const CHeldTemporary&) = delete;

    // A new empty file of a name of its own beside target, held; invalid when
    // the folder cannot take it or the file cannot be held within a second.
    static CHeldTemporary CreateBeside(const std::string& target);
    // Holds an existing file without waiting; invalid while another holds it.
    static CHeldTemporary TryHold(const std::string& path);
    // True when name's characters before end are the program's temporary suffix.
    static bool EndsWithSuffix(const std::string& name, std::size_t end);

    bool IsValid() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    int Descriptor() const { return m_fd; }
    // Ends the hold; the file stays.
    void Release();
    // Removes the file, then ends the hold.
    void Remove();

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace SF_SOFT_BASE

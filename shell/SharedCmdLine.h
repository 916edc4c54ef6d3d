// The 256-byte block in which a second start leaves its command line for the first instance,
// with the named mutex that guards it.
//
// The block holds one NUL-terminated string of at most 255 bytes. A longer command line is not
// dropped: it goes into a file in the runtime folder that only the user can read, and the block
// holds "@" followed by that file's name. A command line always begins with the quoted program
// path, so the "@" cannot be mistaken for one.
//
// A waiting command line is never overwritten: a later start puts its own only into an empty
// block, so simultaneous starts queue behind one another and each line arrives exactly once.
#pragma once

#include "shell/InstanceObjects.h"

#include <cstddef>
#include <semaphore.h>
#include <string>

class CSharedCmdLine {
public:
    static constexpr std::size_t kBlockSize = 256;
    static constexpr std::size_t kMaxHandOverBytes = 16u << 20; // far above any argument limit

    CSharedCmdLine() = default;
    ~CSharedCmdLine();
    CSharedCmdLine(const CSharedCmdLine&) = delete;
    CSharedCmdLine& operator=(const CSharedCmdLine&) = delete;

    // Opens the mutex and the block of a running instance, or (bCreate) creates both afresh,
    // zero-filled, and maps the block. A block someone else created is refused; on failure
    // nothing this call created is left behind.
    bool Create(const shell::InstanceNames& names, bool bCreate);
    // Unmaps and closes; with bRemove also unlinks the named objects.
    void Close(bool bRemove);

    // The text that stands for cmdLine in the block: the line itself, or a reference to the
    // hand-over file just written for it. Empty when that file could not be written.
    std::string Prepare(const std::string& cmdLine) const;
    // Leaves blockText (from Prepare) in the block when the block is empty. Otherwise false,
    // with the text that still waits there in waiting.
    bool TryPut(const std::string& blockText, std::string& waiting);
    // Deletes the hand-over file of a prepared text that was never put.
    void Withdraw(const std::string& blockText) const;
    // Prepare and TryPut at once; false when the block was occupied.
    bool Put(const std::string& cmdLine);
    // Takes the command line out and empties the block; empty when nothing was waiting.
    std::string Take();

    // The raw block, for tests.
    const unsigned char* View() const { return m_pView; }

private:
    bool Lock();
    void Unlock();
    void ClearLocked();
    std::string BlockText() const;
    bool WriteHandOverFile(const std::string& cmdLine, std::string& fileName) const;
    std::string ReadHandOverFile(const std::string& fileName) const;
    std::string HandOverPath(const std::string& blockText) const;

    unsigned char* m_pView = nullptr;
    int m_hMapping = -1;
    sem_t* m_hMutex = SEM_FAILED;
    shell::InstanceNames m_names;
};

#pragma once

#include <QString>

namespace vog {

// The configuration file, open for reading only while a command reads it. Anything that is not
// a regular file (a folder, a FIFO, a device) is refused as a file that can't be opened, so a
// read can never block or run forever. The file is closed when the object goes.
class ConfigFile
{
public:
    // Throws an IoError naming why the file can't be opened; an empty name is a missing file.
    explicit ConfigFile(const QString &fileName);
    ~ConfigFile();
    ConfigFile(const ConfigFile &) = delete;
    ConfigFile &operator=(const ConfigFile &) = delete;

    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace vog

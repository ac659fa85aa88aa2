#include "RunTool.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

ToolResult runTool(const std::vector<std::string>& command, const std::vector<std::string>& environment)
{
    ToolResult result;
    testing_support::ScratchFolder scratch;
    const std::string outPath = scratch.path() + "out", errPath = scratch.path() + "err";
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = environment;
    pid_t pid = fork();
    if (pid == 0) {
        int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int n = open("/dev/null", O_RDONLY);
        dup2(n, 0);
        dup2(o, 1);
        dup2(e, 2);
        for (std::string& v : env) putenv(v.data());
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = testing_support::readFile(outPath);
    result.err = testing_support::readFile(errPath);
    return result;
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), (long)bytes.size());
}

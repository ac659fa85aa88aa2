#include "RunTool.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ToolResult runTool(const std::vector<std::string>& command, const std::vector<std::string>& environment)
{
    ToolResult result;
    std::string dir = makeTempDir("run");
    std::string outPath = dir + "/out", errPath = dir + "/err";
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
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}

std::string makeTempDir(const std::string& tag)
{
    std::string pattern = (std::filesystem::temp_directory_path() / ("ondrel-render-" + tag + "-XXXXXX")).string();
    char* made = mkdtemp(pattern.data());
    return made ? std::string(made) : std::string();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), (long)bytes.size());
}

// The main() of a folder's Qt test program: runs one registered test class.
// Usage: PROGRAM TEST_NAME CLASS [Qt Test arguments...]
// TEST_NAME (the CTest name) becomes the application name, as the program's own name was when
// each class had a program of its own, so settings and paths stay apart between classes.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "qtest_registry.h"

namespace zrk6::test {
namespace {

std::map<std::string, QtTestRun> &Registry()
{
    static std::map<std::string, QtTestRun> registry;
    return registry;
}

} // namespace

bool RegisterQtTest(const char *className, QtTestRun run)
{
    Registry()[className] = run;
    return true;
}

} // namespace zrk6::test

int main(int argc, char *argv[])
{
    const auto &registry = zrk6::test::Registry();
    const auto found = argc >= 3 ? registry.find(argv[2]) : registry.end();
    if (found == registry.end()) {
        std::fprintf(stderr, "usage: %s TEST_NAME CLASS [Qt Test arguments]\nclasses:", argv[0]);
        for (const auto &entry : registry)
            std::fprintf(stderr, " %s", entry.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    QCoreApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
    std::vector<char *> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 3, argv + argc);
    arguments.push_back(nullptr);
    return found->second(static_cast<int>(arguments.size()) - 1, arguments.data());
}

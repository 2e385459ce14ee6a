// threadwick_rc: compiles a resource script into a C++ file of tables.
//
//   threadwick_rc [-I folder]... [--support] [--function ns::Name]
//                 [--depfile file] -o output.cpp script.rc
//
// Errors go to standard error as "file:line: error: reason"; the exit code
// is then 1 and no output file is left behind.

#include "RcModel.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

int Usage()
{
    std::cerr << "usage: threadwick_rc [-I folder]... [--support] [--function ns::Name] [--depfile file] "
                 "-o output.cpp script.rc\n";
    return 2;
}

std::string EscapeDepPath(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#')
            out += '\\';
        if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

bool WriteFileAtomically(const std::string& path, const std::string& text)
{
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())))
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

} // namespace

int main(int argc, char** argv)
{
    rc::Options options;
    rc::EmitOptions emit;
    emit.functionName = "threadwick::RegisterResources";
    std::string output;
    std::string depfile;
    std::string input;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(arg + " needs a value");
            return argv[++i];
        };
        try {
            if (arg == "-I")
                options.includeDirs.push_back(value());
            else if (arg.rfind("-I", 0) == 0)
                options.includeDirs.push_back(arg.substr(2));
            else if (arg == "-o")
                output = value();
            else if (arg == "--depfile")
                depfile = value();
            else if (arg == "--function")
                emit.functionName = value();
            else if (arg == "--support")
                emit.supportModule = true;
            else if (!arg.empty() && arg[0] == '-')
                return Usage();
            else if (input.empty())
                input = arg;
            else
                return Usage();
        } catch (const std::exception& e) {
            std::cerr << "threadwick_rc: " << e.what() << "\n";
            return Usage();
        }
    }
    if (input.empty() || output.empty())
        return Usage();

    emit.sourceName = std::filesystem::path(input).filename().string();
    std::error_code ec;
    try {
        rc::Script script = rc::CompileScript(input, options);
        if (!WriteFileAtomically(output, rc::EmitCpp(script, emit))) {
            std::cerr << "threadwick_rc: cannot write " << output << "\n";
            return 1;
        }
        if (!depfile.empty()) {
            std::string deps = EscapeDepPath(output) + ":";
            for (const auto& d : script.dependencies)
                deps += " \\\n  " + EscapeDepPath(std::filesystem::absolute(d).lexically_normal().string());
            deps += "\n";
            if (!WriteFileAtomically(depfile, deps)) {
                std::cerr << "threadwick_rc: cannot write " << depfile << "\n";
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        std::filesystem::remove(output, ec);
        return 1;
    }
    return 0;
}

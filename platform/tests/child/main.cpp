// A small child program for the process tests. Its arguments are steps run in
// order:
//   out TEXT     write TEXT to standard output
//   err TEXT     write TEXT to standard error
//   hex HEX      write the bytes given in hexadecimal to standard output
//   bytes N      write N bytes ('a' to 'z' repeated) to standard output
//   echo-args    write every later argument to standard output, each followed
//                by a NUL byte, and stop
//   sleep MS     sleep MS milliseconds
//   exit N       exit with code N
//   abort        end by a signal
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (step == "out") {
            std::fputs(value, stdout);
            std::fflush(stdout);
            ++i;
        } else if (step == "err") {
            std::fputs(value, stderr);
            std::fflush(stderr);
            ++i;
        } else if (step == "hex") {
            const std::string hex = value;
            for (std::size_t k = 0; k + 1 < hex.size(); k += 2)
                std::fputc(static_cast<int>(std::stoul(hex.substr(k, 2), nullptr, 16)), stdout);
            std::fflush(stdout);
            ++i;
        } else if (step == "bytes") {
            const long n = std::strtol(value, nullptr, 10);
            for (long k = 0; k < n; ++k) std::fputc('a' + static_cast<int>(k % 26), stdout);
            std::fflush(stdout);
            ++i;
        } else if (step == "echo-args") {
            for (int k = i + 1; k < argc; ++k) std::fwrite(argv[k], 1, std::strlen(argv[k]) + 1, stdout);
            std::fflush(stdout);
            return 0;
        } else if (step == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(value, nullptr, 10)));
            ++i;
        } else if (step == "exit") {
            return static_cast<int>(std::strtol(value, nullptr, 10));
        } else if (step == "abort") {
            std::abort();
        } else {
            std::fprintf(stderr, "unknown step %s\n", step.c_str());
            return 99;
        }
    }
    return 0;
}

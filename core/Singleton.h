#pragma once

// Process-wide instance holder. The instance is created on first use and lives until exit.
template <typename T>
class Singleton {
public:
    static T& instance() {
        static T object;
        return object;
    }

    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

protected:
    Singleton() = default;
    ~Singleton() = default;
};

#pragma once
// The hourglass for the life of the guard, around long steps of the client.
// Nested guards stack and unwind in order; without a screen (the service, a
// console test) nothing happens.
namespace tavrel {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool active_;
};

}  // namespace tavrel

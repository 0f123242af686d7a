#include <Vesks.h>

#include <memory>

int main()
{
    // Linking the constructor is the point: the header, the library and the
    // package file must agree.
    const auto transmitter = std::make_unique<Vesks>();
    return transmitter ? 0 : 1;
}

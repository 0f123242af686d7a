#include "platform/Prompts.h"

#include "platform/QtPrompts.h"

namespace {

Prompts *installed = nullptr;

} // namespace

Prompts::~Prompts() = default;

Prompts &prompts()
{
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

void setPrompts(Prompts *p) { installed = p; }

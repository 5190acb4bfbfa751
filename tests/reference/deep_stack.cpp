#include "deep_stack.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

namespace {

void* runTask(void* task)
{
    (*static_cast<const std::function<void()>*>(task))();
    return nullptr;
}

[[noreturn]] void failed(const char* what, int error)
{
    std::fprintf(stderr, "runOnDeepStack: %s failed with error %d\n", what, error);
    std::abort();
}

}  // namespace

void runOnDeepStack(std::size_t stackBytes, const std::function<void()>& task)
{
    pthread_attr_t attributes;
    int error = pthread_attr_init(&attributes);
    if (error != 0)
        failed("pthread_attr_init", error);
    error = pthread_attr_setstacksize(&attributes, stackBytes);
    if (error != 0)
        failed("pthread_attr_setstacksize", error);
    pthread_t thread;
    error = pthread_create(&thread, &attributes, runTask, const_cast<std::function<void()>*>(&task));
    if (error != 0)
        failed("pthread_create", error);
    pthread_attr_destroy(&attributes);
    error = pthread_join(thread, nullptr);
    if (error != 0)
        failed("pthread_join", error);
}

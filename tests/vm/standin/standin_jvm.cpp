// Stand-in JVM libraries for the launcher's failure paths, one variant per build
// definition: STANDIN_NO_EXPORT exports no creation entry point; STANDIN_CREATE_FAILS
// refuses to create a VM; STANDIN_IMPL_ONLY does the same under the alternative export
// name; STANDIN_EMPTY_VM creates a "VM" in which every lookup finds nothing.
#include "vm/jvm.h"

#include <cstddef>


#if defined(STANDIN_CREATE_FAILS)
extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM**, void**, void*)
{
    return JNI_ERR;
}
#elif defined(STANDIN_IMPL_ONLY)
extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM_Impl(JavaVM**, void**, void*)
{
    return JNI_ENOMEM;
}
#elif defined(STANDIN_EMPTY_VM)
namespace {

// Every JNI and invocation function of the empty VM: finds nothing, fails nothing.
// (Both x86-64 conventions let a caller pass arguments this function ignores.)
void* Nothing()
{
    return nullptr;
}

template <class Table>
void FillWithNothing(Table& table)
{
    void** slots = reinterpret_cast<void**>(&table);
    for (size_t i = 0; i < sizeof(Table) / sizeof(void*); ++i)
        slots[i] = reinterpret_cast<void*>(&Nothing);
}

JNINativeInterface_ s_functions;
JNIInvokeInterface_ s_invoke;
JNIEnv_ s_env;
JavaVM_ s_vm;

} // namespace

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void*)
{
    FillWithNothing(s_functions);
    FillWithNothing(s_invoke);
    s_env.functions = &s_functions;
    s_vm.functions = &s_invoke;
    *vm = &s_vm;
    *env = &s_env;
    return JNI_OK;
}
#else
extern "C" JNIEXPORT int standin_without_entry_point()
{
    return 0;
}
#endif

// The launch routine, step by step: environment, VM options, runtime, VM, properties,
// version bounds, the launcher's Java-side services, splash timing, main; and the one
// report of a failure.
#include "vm/launch.h"

#include "bridge/protocol_handler.h"
#include "config/launch_config.h"
#include "config/message_table.h"
#include "jre/class_path.h"
#include "jre/jre_locator.h"
#include "os/process.h"
#include "splash/splash.h"
#include "vm/java_host.h"
#include "vm/main_invocation.h"

#include <cstring>

namespace {

// Splash-closing delays, in milliseconds.
constexpr int kSplashBeforeMain = 1750;
constexpr int kSplashAfterMain = 750;
constexpr int kSplashOnWindow = 30000;

bool NamesJavaToolOptions(const char* assignment, const char* equals)
{
    return CTextBuffer(assignment, int32_t(equals - assignment)).CompareNoCase("JAVA_TOOL_OPTIONS") == 0;
}

void ApplyExports(const CLaunchConfig& config)
{
    CTextList exports;
    config.CollectValues("export", exports, true);
    bool keepToolOptions = false;
    for (int32_t k = 0; k < exports.Count(); ++k) {
        const char* assignment = exports.StringAt(k);
        const char* equals = std::strchr(assignment, '=');
        if (!equals)
            continue;
        PutEnvironment(assignment);
        keepToolOptions = keepToolOptions || NamesJavaToolOptions(assignment, equals);
    }
    // The VM would otherwise take options from the user's environment.
    if (!keepToolOptions)
        PutEnvironment("JAVA_TOOL_OPTIONS=");
}

void AddOptionWith(CJavaHost& host, const char* prefix, const CTextBuffer& value)
{
    CTextBuffer option(prefix);
    option.Append(value);
    host.AddOption(option.Data());
}

void AddVmOptions(const CLaunchConfig& config, CJavaHost& host)
{
    CTextList options;
    config.CollectValues("option", options, true);
    for (int32_t k = 0; k < options.Count(); ++k)
        host.AddOption(options.StringAt(k));
    AddOptionWith(host, "-Djava.class.path=", BuildClassPath(ClassPathKind::kVm));
    AddOptionWith(host, "-Dqvx.class.path=", BuildClassPath(ClassPathKind::kLauncher));
    AddOptionWith(host, "-Dqvx.app.path=", config.GetExePath());
    AddOptionWith(host, "-Dapplication.home=", config.GetExeFolder());
    if (config.GetValue("assystemclassloader").CompareNoCase("FALSE") != 0)
        host.AddOption("-Djava.system.class.loader=com.mirathel.qvx.TovarinClassLoader");
    if (IsProcessElevated() == 0)
        host.AddOption("-Dqvx.is.elevated=true");
}

void ApplyProperties(const CLaunchConfig& config, JNIEnv* env)
{
    CTextList properties;
    config.CollectValues("property", properties, false);
    for (int32_t k = 0; k < properties.Count(); ++k)
        SetSystemProperty(env, properties.StringAt(k));
}

// 0, or the failure: 5 without a readable version, 6 or 12 outside the bounds.
int CheckVersionBounds(CJavaHost& host, const CTextBuffer& minimum, const CTextBuffer& maximum, CTextBuffer& version)
{
    if (minimum.IsEmpty() && maximum.IsEmpty())
        return 0;
    if (!host.QueryJavaVersion(version))
        return kMessageNoVersion;
    return CJavaHost::CheckJavaVersion(version.Data(), minimum.Data(), maximum.Data());
}

void ScheduleSplash(int delay)
{
    if (GetSplashWindowHandle())
        ScheduleSplashClose(delay);
}

int ReportFailure(int result, const CTextBuffer& version, const CTextBuffer& minimum, const CTextBuffer& maximum)
{
    CTextBuffer text = GetMessage(unsigned(result));
    if (result == kMessageVersionTooLow || result == kMessageVersionTooHigh) {
        const char* arguments[] = {version.Data(), minimum.Data(), maximum.Data(), "", ""};
        text = FormatMessageText(text.Data(), arguments, 5);
    }
    ShowErrorBox(text.Data());
    return result;
}

} // namespace

int LaunchApplication(int argc, char** argv, StartCallback onStarted)
{
    if (!g_config || !g_javaHost)
        return 0;
    const CLaunchConfig& config = *g_config;
    CJavaHost& host = *g_javaHost;
    CTextBuffer version;
    CTextBuffer minimum = config.GetValue("minjre");
    CTextBuffer maximum = config.GetValue("maxjre");

    ApplyExports(config);
    AddVmOptions(config, host);

    // Normally searched during start-up already, so the exports above cannot change
    // which runtime is found.
    CTextBuffer library = CJreLocator::FindJvmLibrary();
    if (library.IsEmpty())
        return ReportFailure(kMessageNoRuntime, version, minimum, maximum);
    if (int result = host.CreateVm(library.Data()))
        return ReportFailure(result, version, minimum, maximum);
    JNIEnv* env = host.Env();

    // After the VM exists, so they override "-D" options of the same name.
    ApplyProperties(config, env);
    if (int result = CheckVersionBounds(host, minimum, maximum, version))
        return ReportFailure(result, version, minimum, maximum);

    RegisterProtocolHandler(env);
    if (onStarted)
        onStarted();
    bool closeOnWindow = config.GetValue("splashcloseonwindow").CompareNoCase("true") == 0;
    if (closeOnWindow)
        RegisterSplashCloseOnWindow(env);
    ScheduleSplash(closeOnWindow ? kSplashOnWindow : kSplashBeforeMain);

    CTextList configuredArguments;
    config.CollectValues("argv", configuredArguments, true);
    CTextBuffer mainClass = config.GetValue("mainclass", true);
    int result = RunMain(env, mainClass.Data(), configuredArguments, argc, argv);

    ScheduleSplash(closeOnWindow ? kSplashOnWindow : kSplashAfterMain);
    return result ? ReportFailure(result, version, minimum, maximum) : 0;
}

void SetSystemProperty(JNIEnv* env, char* assignment)
{
    char* equals = std::strchr(assignment, '=');
    const char* value = "";
    if (equals) {
        *equals = 0;
        value = equals + 1;
    }
    jclass system = env->FindClass("java/lang/System");
    jmethodID setProperty =
        system ? env->GetStaticMethodID(system, "setProperty", "(Ljava/lang/String;Ljava/lang/String;)Ljava/lang/String;")
               : nullptr;
    if (!setProperty) {
        ClearPendingException(env, false);
        if (system)
            env->DeleteLocalRef(system);
        return;
    }
    jstring name = env->NewStringUTF(assignment);
    jstring text = name ? env->NewStringUTF(value) : nullptr;
    if (text) {
        jobject previous = env->CallStaticObjectMethod(system, setProperty, name, text);
        if (previous)
            env->DeleteLocalRef(previous);
    }
    // An empty name makes setProperty throw; the user should see why the line did nothing.
    ClearPendingException(env, true);
    if (text)
        env->DeleteLocalRef(text);
    if (name)
        env->DeleteLocalRef(name);
    env->DeleteLocalRef(system);
}

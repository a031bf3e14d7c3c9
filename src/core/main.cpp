// The process entry: the start-up steps in their fixed order, the launch, the teardown.
// Each step is one call into the subsystem that owns it.
#include "config/launch_config.h"
#include "core/argument_expander.h"
#include "core/startup.h"
#include "instances/instance_registry.h"
#include "instances/single_instance.h"
#include "os/shared_block.h"
#include "os/ui.h"
#include "splash/splash.h"
#include "streams/std_redirect.h"
#include "vm/java_host.h"

#include <clocale>

int main(int argc, char** argv)
{
    // 1. Conversions between multibyte and wide text follow the user's code page.
    std::setlocale(LC_ALL, "");

    // 2. The configuration, read completely, and an empty VM host.
    CLaunchConfig config(true);
    CJavaHost javaHost;

    // 3, 4. The registry block: one named after the application id, else the
    // executable's own shared section (also when the named block cannot be had: the
    // registry must never get a null block).
    CSharedBlock registryBlock;
    CTextBuffer appId = config.ReadAppId();
    bool named = false;
    if (!appId.IsEmpty()) {
        for (int32_t i = 0; i < appId.Length(); ++i)
            if (appId.Data()[i] == '\\')
                appId.Data()[i] = '.';
        appId.Append(".qvx.mapping");
        named = registryBlock.OpenNamed(appId.Data());
    }
    if (!named)
        registryBlock.OpenExecutableSection();

    // 5. Register this copy, then publish the process-wide objects.
    CInstanceRegistry registry;
    registry.RegisterInstance(registryBlock.Address());
    g_config = &config;
    g_javaHost = &javaHost;
    g_registry = &registry;

    // 6.
    InitialiseCommonControls();

    // 7. Splash: the runtime's splash library (this runs the runtime search first), else
    // the executable's own bitmap, if it has one.
    CTextBuffer splashLibrary = FindRuntimeSplashLibrary();
    if (!splashLibrary.IsEmpty())
        StartRuntimeSplash(splashLibrary);
    else
        ShowBuiltInSplash(config.ReadSplashTitle());

    // 8. Working directory; a failure leaves it alone.
    CTextBuffer forceCwd = config.ReadForceCwd();
    if (!forceCwd.IsEmpty()) {
        ApplyForceCwd(forceCwd, config.GetExeFolder());
        config.RefreshCurrentFolder();
    }

    // 9. Standard error first, so one target named by both is opened once.
    CTextBuffer stderrTarget = config.ReadStderr();
    if (!stderrTarget.IsEmpty())
        g_stdRedirect.RedirectStderr(stderrTarget.Data());
    CTextBuffer stdoutTarget = config.ReadStdout();
    if (!stdoutTarget.IsEmpty())
        g_stdRedirect.RedirectStdout(stdoutTarget.Data());

    // 10. Returns, or ends the process with exit code 11.
    EnforceSingleInstance();

    // 11. Wildcard arguments.
    CPointerArray expanded;
    if (int mode = WildcardMode(config.ReadWildcard())) {
        g_argumentExpander.ExpandArguments(argc, argv, mode);
        if (g_argumentExpander.TakeArgumentVector(expanded) > 0) {
            argc = expanded.Count();
            argv = expanded.Items();
        }
    }

    // 12. The program name is not an argument of the application.
    LaunchRequest request{argc - 1, argv + 1, OnVmStarted, 0};

    // 13. "-XstartOnFirstThread" keeps the launch, and the VM, on the main thread.
    uint32_t result;
    if (!config.GetValueWithPrefix("option", "-XstartOnFirstThread").IsEmpty())
        result = RunLaunch(&request);
    else
        result = RunOnLaunchThread(RunLaunch, &request);

    // 14. Teardown in a fixed order; the host's Shutdown is a no-op when the launch
    // already ended the VM.
    g_config = nullptr;
    g_javaHost = nullptr;
    registry.ShutdownRegistry();
    registryBlock.Close();
    javaHost.Shutdown();

    // 15.
    return int(result);
}

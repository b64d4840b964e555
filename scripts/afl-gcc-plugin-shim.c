/*
 * Loader for afl++'s GCC instrumentation plugin when the plugin was built against an
 * earlier package revision of the same GCC release.
 *
 * GCC refuses a plugin whose recorded configuration differs from its own, even when
 * only the package revision in --with-pkgversion changed (Debian 12's gcc-12
 * 12.2.0-14+deb12u1 against afl++ 4.04c built with 12.2.0-14): afl-g++-fast then
 * aborts with "GCC and plugin have incompatible versions". The compiler internals
 * are identical, so this stand-in plugin loads the real one and hands it GCC's
 * version record with the configuration string the real plugin expects.
 *
 * scripts/fuzz.sh builds it and points AFL_PATH at a folder holding it under the real
 * plugin's name, next to links to afl++'s other runtime files.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef AFL_GCC_PASS
#define AFL_GCC_PASS "/usr/lib/afl/afl-gcc-pass.so"
#endif

/* Layouts as in GCC's gcc-plugin.h and plugin-version.h. */
struct plugin_gcc_version {
    const char *basever;
    const char *datestamp;
    const char *devphase;
    const char *revision;
    const char *configuration_arguments;
};
struct plugin_name_args;

int plugin_is_GPL_compatible;

/* The configuration string compiled into the real plugin, or NULL. */
static char *recorded_configuration(void) {
    FILE *f = fopen(AFL_GCC_PASS, "rb");
    if (f == NULL) {
        return NULL;
    }
    char *result = NULL;
    if (fseek(f, 0, SEEK_END) == 0) {
        long size = ftell(f);
        char *bytes = size > 0 ? malloc((size_t)size + 1) : NULL;
        if (bytes != NULL && fseek(f, 0, SEEK_SET) == 0 && fread(bytes, 1, (size_t)size, f) == (size_t)size) {
            static const char key[] = "../src/configure ";
            bytes[size] = '\0';
            for (long i = 0; i + (long)sizeof key < size; ++i) {
                if (memcmp(bytes + i, key, sizeof key - 1) == 0) {
                    result = strdup(bytes + i);
                    break;
                }
            }
        }
        free(bytes);
    }
    fclose(f);
    return result;
}

int plugin_init(struct plugin_name_args *info, struct plugin_gcc_version *version) {
    void *real = dlopen(AFL_GCC_PASS, RTLD_NOW | RTLD_GLOBAL);
    if (real == NULL) {
        fprintf(stderr, "afl-gcc-plugin-shim: %s\n", dlerror());
        return 1;
    }
    int (*real_init)(struct plugin_name_args *, struct plugin_gcc_version *) =
        (int (*)(struct plugin_name_args *, struct plugin_gcc_version *))dlsym(real, "plugin_init");
    if (real_init == NULL) {
        fprintf(stderr, "afl-gcc-plugin-shim: no plugin_init in %s\n", AFL_GCC_PASS);
        return 1;
    }
    struct plugin_gcc_version adjusted = *version;
    char *recorded = recorded_configuration();
    if (recorded != NULL) {
        adjusted.configuration_arguments = recorded;
    }
    return real_init(info, &adjusted);
}

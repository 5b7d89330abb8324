// The skin resource library: carries the skin file and writes it out on request.
extern "C" __attribute__((visibility("default"))) int LoadSkin(const char *, const char *)
{
    return 0;
}

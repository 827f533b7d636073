/* bench/slow_fs.c: a read-only passthrough file system that waits a fixed time before every
 * open and every read, as a network share or a slow USB disk makes a program wait.
 *
 *     slow_fs SOURCE DELAY_US MOUNTPOINT [FUSE-OPTION...]
 *
 * shows SOURCE at MOUNTPOINT; unmount with fusermount3 -u MOUNTPOINT. Requests are served on
 * several threads, as a share serves several requests at once. With SLOW_FS_LOG set to a file
 * name, every open and every read is also written there as a line ("open PATH", "read PATH
 * SIZE"), so that the round trips a program makes can be counted. */
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static const char* source;
static long delay_us;
static int log_fd = -1;

/* One line per request; a single write of a short line to a file opened for appending is not
 * interleaved with another thread's. */
static void Log(const char* what, const char* path, size_t size) {
    if (log_fd < 0) return;
    char line[PATH_MAX + 64];
    const int length = what[0] == 'o' ? snprintf(line, sizeof line, "open %s\n", path)
                                      : snprintf(line, sizeof line, "read %s %zu\n", path, size);
    if (length > 0 && (size_t)length < sizeof line) (void)!write(log_fd, line, (size_t)length);
}

static int Full(char out[PATH_MAX], const char* path) {
    return snprintf(out, PATH_MAX, "%s%s", source, path) < PATH_MAX ? 0 : -ENAMETOOLONG;
}

static void Wait(void) {
    const struct timespec delay = {delay_us / 1000000, (delay_us % 1000000) * 1000};
    nanosleep(&delay, NULL);
}

static int GetAttributes(const char* path, struct stat* st, struct fuse_file_info* fi) {
    (void)fi;
    char full[PATH_MAX];
    if (Full(full, path) != 0) return -ENAMETOOLONG;
    return lstat(full, st) == 0 ? 0 : -errno;
}

static int ReadFolder(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)offset, (void)fi, (void)flags;
    char full[PATH_MAX];
    if (Full(full, path) != 0) return -ENAMETOOLONG;
    DIR* folder = opendir(full);
    if (folder == NULL) return -errno;
    for (struct dirent* entry; (entry = readdir(folder)) != NULL;) {
        struct stat st = {0};
        st.st_ino = entry->d_ino;
        st.st_mode = (mode_t)DTTOIF(entry->d_type);
        if (fill(buffer, entry->d_name, &st, 0, 0) != 0) break;
    }
    closedir(folder);
    return 0;
}

static int Open(const char* path, struct fuse_file_info* fi) {
    if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
    char full[PATH_MAX];
    if (Full(full, path) != 0) return -ENAMETOOLONG;
    Wait();
    Log("open", path, 0);
    const int fd = open(full, fi->flags);
    if (fd < 0) return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buffer, size_t size, off_t offset,
                struct fuse_file_info* fi) {
    Wait();
    Log("read", path, size);
    const ssize_t got = pread((int)fi->fh, buffer, size, offset);
    return got < 0 ? -errno : (int)got;
}

static int Release(const char* path, struct fuse_file_info* fi) {
    (void)path;
    close((int)fi->fh);
    return 0;
}

/* Direct I/O: every read reaches this program, none is served from the page cache. */
static void* Initialise(struct fuse_conn_info* connection, struct fuse_config* config) {
    (void)connection;
    config->direct_io = 1;
    return NULL;
}

static const struct fuse_operations kOperations = {
    .init = Initialise,
    .getattr = GetAttributes,
    .readdir = ReadFolder,
    .open = Open,
    .read = Read,
    .release = Release,
};

int main(int argc, char* argv[]) {
    if (argc < 4) {
        fprintf(stderr, "usage: slow_fs SOURCE DELAY_US MOUNTPOINT [FUSE-OPTION...]\n");
        return 2;
    }
    source = realpath(argv[1], NULL);
    delay_us = strtol(argv[2], NULL, 10);
    if (source == NULL || delay_us < 0) {
        fprintf(stderr, "slow_fs: no folder %s, or a bad delay %s\n", argv[1], argv[2]);
        return 2;
    }
    const char* log_name = getenv("SLOW_FS_LOG");
    if (log_name != NULL) log_fd = open(log_name, O_WRONLY | O_CREAT | O_APPEND | O_TRUNC, 0644);
    char* fuse_argv[64];
    int fuse_argc = 0;
    fuse_argv[fuse_argc++] = argv[0];
    for (int i = 3; i < argc && fuse_argc < 60; ++i)
        fuse_argv[fuse_argc++] = argv[i];
    fuse_argv[fuse_argc++] = "-o";
    fuse_argv[fuse_argc++] = "ro,default_permissions";
    return fuse_main(fuse_argc, fuse_argv, &kOperations, NULL);
}

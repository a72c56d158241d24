#!/usr/bin/env python3
"""Lists the class, struct, union and enum names of our sources that are defined twice, differently,
among the object files given (folders are searched for *.o): the same qualified name with
linkage, declared in two places or with two sizes. Two such definitions linked into one program
break the one-definition rule without a word from the linker: inline members and comparison
operators of one silently serve the other. Reads the debug information (RelWithDebInfo or Debug
builds) with llvm-dwarfdump.

Usage: scripts/odr-types.py build/src build/emulator    (exit status 1 when a name clashes)"""
import collections, os, re, subprocess, sys

TYPE_TAGS = {"DW_TAG_structure_type", "DW_TAG_class_type", "DW_TAG_union_type", "DW_TAG_enumeration_type"}
SCOPE_TAGS = TYPE_TAGS | {"DW_TAG_namespace"}
line_re = re.compile(r"^0x[0-9a-f]+:( +)(DW_TAG_\w+)")
attr_re = re.compile(r"^ +(DW_AT_\w+)\s+\((.*)\)$")


def entries(obj):
    out = subprocess.run(["llvm-dwarfdump", "--debug-info", obj], capture_output=True, text=True).stdout
    cur = None
    for line in out.splitlines():
        m = line_re.match(line)
        if m:
            if cur:
                yield cur
            cur = {"depth": len(m.group(1)), "tag": m.group(2)}
            continue
        a = attr_re.match(line)
        if a and cur is not None:
            cur[a.group(1)] = a.group(2).strip('"')
    if cur:
        yield cur


def types_of(obj):
    stack = []  # (depth, tag, name or None)
    for e in entries(obj):
        while stack and stack[-1][0] >= e["depth"]:
            stack.pop()
        name = e.get("DW_AT_name")
        stack.append((e["depth"], e["tag"], name))
        if e["tag"] not in TYPE_TAGS or not name or e.get("DW_AT_declaration") == "true":
            continue
        parents = stack[1:-1]  # below the compile unit
        if any(tag not in SCOPE_TAGS or pname is None for _, tag, pname in parents):
            continue  # local to a function or inside an unnamed namespace: no linkage
        decl = os.path.normpath(e.get("DW_AT_decl_file", "/"))
        # Objects from the compiler cache may name another checkout's path: compare from src/ on.
        ours = re.search(r"/((?:src|emulator|tools|tests|bench)/.*)$", decl)
        if decl.startswith("/usr/") or not ours:
            continue
        qualified = "::".join([p for _, _, p in parents] + [name])
        yield qualified, ours.group(1), int(e.get("DW_AT_byte_size", "-1"), 0)


def main():
    objs = []
    for arg in sys.argv[1:]:
        if os.path.isdir(arg):
            for d, _, files in os.walk(arg):
                objs += [os.path.join(d, f) for f in files if f.endswith(".o")]
        else:
            objs.append(arg)
    seen = collections.defaultdict(lambda: collections.defaultdict(set))
    for obj in objs:
        lib = os.path.basename(os.path.dirname(obj))
        for name, decl, size in types_of(obj):
            seen[name][(decl, size)].add(lib)
    clashes = 0
    for name in sorted(seen):
        if len(seen[name]) > 1:
            clashes += 1
            print(name)
            for (decl, size), libs in sorted(seen[name].items()):
                print("    %s (size %s) in %s" % (decl, size, ", ".join(sorted(libs))))
    return 1 if clashes else 0


if __name__ == "__main__":
    sys.exit(main())

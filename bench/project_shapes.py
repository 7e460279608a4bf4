"""Writes the hostile project shapes of project_shapes.sh into a folder, with
a small game folder beside them: python3 project_shapes.py FOLDER [SCALE]."""
import os
import sys

work = sys.argv[1]
scale = int(sys.argv[2]) if len(sys.argv) > 2 else 1
game = os.path.join(work, "Game")
os.makedirs(os.path.join(game, "System"), exist_ok=True)
os.makedirs(os.path.join(game, "Maps"), exist_ok=True)
open(os.path.join(game, "System", "MKR.exe"), "w").close()
with open(os.path.join(game, "System", "Game.ini"), "w") as out:
    out.write("[Engine]\nDetail=Low\n")
with open(os.path.join(game, "Maps", "A.map"), "w") as out:
    out.write("a")

PRODUCT = "[Product]\nproduct=Shape\nversion=1\n"


def project(name, body):
    with open(os.path.join(work, name + ".zproj"), "w", newline="\n") as out:
        out.write(f"{game}\n0.8\n{body}{PRODUCT}")


groups = 100000 // scale
project("groups", "".join(f"[Group]\nname=G{g}\nMaps\\A.map\n" for g in range(groups)))

ties = 50000 // scale
project("ties", "".join(f"[Group]\nname=G{i}\nMaps\\A.map\n" for i in range(ties))
        + "".join(f"[INI]\nname=Game.ini\nEngine,Detail,High{i},FALSE\ngroup=G{i}\n" for i in range(ties)))

separators = 40000 // scale
project("separators", "[Group]\nname=Deep\n" + "Maps\\" + "x\\" * separators + "A.map\n")

# As deep as a path may be (32,767 characters), so that every check walks it.
deep = 16000 // scale
project("deep", "[Group]\nname=Deep\n" + "Maps\\" + "x\\" * deep + "A.map\n"
        + "maps\\" + "X\\" * deep + "B.map\n")

line = 10 * 1024 * 1024 // scale
project("line", "[Group]\nname=Long\nMaps\\" + "x\\" * (line // 2) + "A.map\n")

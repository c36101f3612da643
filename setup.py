"""Builds the core part of the Python module (torvane._core) with CMake.

pip runs this through pyproject.toml: the project is configured with
TORVANE_PYTHON_ONLY (the core libraries and the module, nothing else) for
the interpreter pip runs under, and the module built is put in the wheel.
CMAKE_ARGS in the environment is passed on to the configuration, for
example CMAKE_ARGS="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache".
"""

import os
import pathlib
import shlex
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE_DIR = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = pathlib.Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(SOURCE_DIR), "-B", str(build_dir),
                     "-DCMAKE_BUILD_TYPE=Release", "-DTORVANE_PYTHON_ONLY=ON",
                     "-DTORVANE_TESTS=OFF", f"-DPython_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        configure += shlex.split(os.environ.get("CMAKE_ARGS", ""))
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "torvane_python",
                        "--parallel", str(os.cpu_count() or 1)], check=True)
        suffix = pathlib.Path(self.get_ext_filename(ext.name)).suffixes
        built = build_dir / "python" / "torvane" / ("_core" + "".join(suffix))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    ext_modules=[Extension("torvane._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Beside CMake's build/, not inside it.
    options={"build": {"build_base": "build-python"}},
)

"""docs/bushveld.ipynb runs from start to end in a Python kernel (nbclient),
writes its table and grid, and is kept in the repository without outputs."""

import json
import os

import pytest

from conftest import SOURCE_DIR

NOTEBOOK = SOURCE_DIR / "docs" / "bushveld.ipynb"


def test_the_notebook_is_stored_without_outputs():
    cells = json.loads(NOTEBOOK.read_text())["cells"]
    code = [cell for cell in cells if cell["cell_type"] == "code"]
    assert code and all(not cell["outputs"] and cell["execution_count"] is None for cell in code)


def test_the_notebook_runs(tmp_path, monkeypatch):
    nbformat = pytest.importorskip("nbformat")
    nbclient = pytest.importorskip("nbclient")
    pytest.importorskip("ipykernel")
    pytest.importorskip("osgeo.gdal")
    # The kernel imports the module the tests import, and draws no window.
    import torvane
    package_dir = os.path.dirname(os.path.dirname(os.path.abspath(torvane.__file__)))
    paths = [os.path.abspath(p) for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p]
    monkeypatch.setenv("PYTHONPATH", os.pathsep.join([package_dir, *paths]))
    monkeypatch.setenv("MPLBACKEND", "Agg")
    monkeypatch.setenv("PYDEVD_DISABLE_FILE_VALIDATION", "1")
    monkeypatch.setenv("TORVANE_NOTEBOOK_OUT", str(tmp_path))
    notebook = nbformat.read(NOTEBOOK, as_version=4)
    client = nbclient.NotebookClient(notebook, timeout=600, kernel_name="python3",
                                     resources={"metadata": {"path": str(NOTEBOOK.parent)}})
    client.execute()
    printed = "".join(output.get("text", "") for cell in notebook.cells
                      for output in cell.get("outputs", []))
    assert "stations blanked; work CRS EPSG:327" in printed
    assert (tmp_path / "residual.csv").stat().st_size > 0
    grid = torvane.read_grid(tmp_path / "residual.tif")
    assert grid.notnull().any()

'use strict';
// The browsable page: decodes the tree's columns that kwl-list wrote into the page, then
// shows them as a folding tree in a virtual list (a pool of rows reused while scrolling).
// Names are data: they only ever reach the page through textContent.
// The script stands before the data, so that the page says it is loading while the browser
// still reads the rest of it; it waits for the data and what describes it, which follow.
(async () => {
  const $ = (id) => document.getElementById(id);
  const html = document.documentElement;
  const allTexts = JSON.parse($('kwl-texts').textContent);
  const T = allTexts[html.lang] || allTexts.en;
  const fill = (pattern, ...values) => pattern.replace(/%(\d)/g, (m, d) => values[d - 1]);

  // Flags of an entry, as the exporter sets them.
  const KIND = 3, DIR = 0, LINK = 2;
  const RO = 4, COMPR = 8, SYS = 16, HID = 32, ARCH = 64, UNREADABLE = 128;
  const NO_MTIME = 512, NO_CTIME = 1024, NO_ATIME = 2048;
  const ROW = 24;
  // Below the element height limits of Chromium (~33.5M px) and Firefox (~17.9M px); past it
  // the scroll position maps to a row index instead of a pixel offset.
  const MAX_SPACER = 4000000;

  for (const el of document.querySelectorAll('[data-text]')) el.textContent = T[el.dataset.text];
  for (const el of document.querySelectorAll('[data-placeholder]'))
    el.placeholder = T[el.dataset.placeholder];
  html.style.setProperty('--row', ROW + 'px');

  // ---- loading: how far it has come, in the table's place until the table is ready ----
  const showLoaded = (share) => {
    $('loading-text').textContent = fill(T.loadingShare, Math.floor(share * 100));
    $('loading-bar').value = share;
  };
  // Lets the browser draw the share shown before the next step holds the page again.
  const loadedUpTo = (share) => {
    showLoaded(share);
    return new Promise((resolve) => setTimeout(resolve, 0));
  };
  if (document.readyState === 'loading')
    await new Promise((resolve) => document.addEventListener('DOMContentLoaded', resolve, { once: true }));
  const meta = JSON.parse($('kwl-meta').textContent);

  // ---- decoding ----
  const base64Bytes = (s) => {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(s);
    const b = atob(s);
    const u = new Uint8Array(b.length);
    for (let i = 0; i < b.length; i++) u[i] = b.charCodeAt(i);
    return u;
  };
  const blocks = meta.columns.map(() => []);
  for (const el of document.querySelectorAll('script[data-column]')) {
    blocks[+el.dataset.column].push(base64Bytes(el.textContent));
    el.remove();
  }
  // The shares of loading below are those of its steps' time on a large tree: inflating
  // takes the first 45 %, counted by the compressed bytes read.
  const compressedBytes = blocks.flat().reduce((sum, b) => sum + b.length, 0);
  let bytesRead = 0;
  const countRead = () => new TransformStream({
    transform(chunk, controller) {
      bytesRead += chunk.byteLength;
      showLoaded(0.45 * bytesRead / compressedBytes);
      controller.enqueue(chunk);
    },
  });
  // A column's blocks one by one, so that the share moves block by block.
  const streamOf = (parts) => {
    let next = 0;
    return new ReadableStream({
      pull(controller) {
        if (next < parts.length) controller.enqueue(parts[next++]);
        else controller.close();
      },
    });
  };
  const inflate = async (parts) => new Uint8Array(await new Response(streamOf(parts)
    .pipeThrough(countRead()).pipeThrough(new DecompressionStream('deflate'))).arrayBuffer());
  let columns;
  try {
    showLoaded(0);
    columns = await Promise.all(blocks.map(inflate));
  } catch (e) {
    $('loading-text').textContent = T.loadFailed;
    $('loading-bar').remove();
    throw e;
  }
  await loadedUpTo(0.45);
  const col = (name) => columns[meta.columns.indexOf(name)];

  const n = meta.entries;
  // LEB128 varints; values past 2^53 are kept exact as BigInt beside the rounded number.
  const readUnsigned = (bytes, count, out, exact) => {
    let p = 0;
    for (let i = 0; i < count; i++) {
      let v = 0, mul = 1, start = p, b;
      do { b = bytes[p++]; v += (b & 127) * mul; mul *= 128; } while (b & 128);
      if (exact && p - start > 7) {
        let big = 0n;
        for (let k = p - 1; k >= start; k--) big = (big << 7n) | BigInt(bytes[k] & 127);
        if (big > 9007199254740991n) exact.set(i, big.toString());
      }
      out[i] = v;
    }
    return out;
  };
  // Zigzag-coded differences to the previous entry's value.
  const readDeltas = (bytes, out) => {
    readUnsigned(bytes, n, out, null);
    let prev = 0;
    for (let i = 0; i < n; i++) {
      const u = out[i];
      prev += u % 2 === 0 ? u / 2 : -(u + 1) / 2;
      out[i] = prev;
    }
    return out;
  };
  const depth = readUnsigned(col('depth'), n, new Uint32Array(n), null);
  const flags = readUnsigned(col('flags'), n, new Uint16Array(n), null);
  const bigSize = new Map();
  const size = readUnsigned(col('size'), n, new Float64Array(n), bigSize);
  const mtime = readDeltas(col('modified'), new Float64Array(n));
  const ctime = readDeltas(col('created'), new Float64Array(n));
  const atime = readDeltas(col('accessed'), new Float64Array(n));
  await loadedUpTo(0.6);
  const isDir = (i) => (flags[i] & KIND) === DIR;
  const fileCount = new Float64Array(n);
  {
    const dirFiles = col('files');
    let p = 0;
    for (let i = 0; i < n; i++) {
      if (!isDir(i)) continue;
      let v = 0, mul = 1, b;
      do { b = dirFiles[p++]; v += (b & 127) * mul; mul *= 128; } while (b & 128);
      fileCount[i] = v;
    }
  }
  // Every name ends in a line feed, which no shown name holds.
  const names = new TextDecoder().decode(col('names'));
  columns = null;
  const nameStart = new Uint32Array(n + 1);
  for (let i = 0, p = 0; i < n; i++) {
    nameStart[i] = p;
    p = names.indexOf('\n', p) + 1;
    nameStart[i + 1] = p;
  }
  const nameOf = (i) => names.substring(nameStart[i], nameStart[i + 1] - 1);
  await loadedUpTo(0.9);

  // Parents from the depths of the pre-order walk, then each directory's children in listing
  // order (childList[childStart[d] .. childStart[d + 1]]).
  const parent = new Int32Array(n);
  const childStart = new Uint32Array(n + 1);
  {
    const stack = [];
    for (let i = 0; i < n; i++) {
      const d = depth[i];
      stack[d] = i;
      parent[i] = d === 0 ? -1 : stack[d - 1];
      if (d > 0) childStart[parent[i] + 1]++;
    }
    for (let i = 0; i < n; i++) childStart[i + 1] += childStart[i];
  }
  const childList = new Uint32Array(Math.max(n - 1, 0));
  {
    const next = childStart.slice(0, n);
    for (let i = 1; i < n; i++) childList[next[parent[i]]++] = i;
  }
  const childOrder = childList.slice(); // the current sort within each directory
  const sortedAt = new Int32Array(n); // sort generation each directory's children are in
  await loadedUpTo(0.97);

  // ---- formatting ----
  const group = (digits) => digits.replace(/\B(?=(\d{3})+(?!\d))/g, T.group);
  const sizeText = (i) => group(bigSize.has(i) ? bigSize.get(i) : String(size[i]));
  const pad = (v) => (v < 10 ? '0' : '') + v;
  const UNKNOWN_TIME = '??.??.????, ??:??:??';
  const timeText = (t, unknown) => {
    if (unknown || !(Math.abs(t) <= 8.64e12)) return UNKNOWN_TIME;
    const d = new Date(t * 1000);
    return pad(d.getDate()) + '.' + pad(d.getMonth() + 1) + '.' + d.getFullYear() + ', ' +
      pad(d.getHours()) + ':' + pad(d.getMinutes()) + ':' + pad(d.getSeconds());
  };
  const attrText = (i) => {
    if (isDir(i)) return '';
    const f = flags[i];
    return (f & ARCH ? 'A' : '-') + (f & RO ? 'R' : '-') + (f & COMPR ? 'C' : '-') +
      (f & SYS ? 'S' : '-') + (f & HID ? 'H' : '-');
  };
  const pathParts = (i) => {
    const parts = [];
    for (; i > 0; i = parent[i]) parts.push(nameOf(i));
    return parts.reverse();
  };
  const fullPath = (i) => {
    const rel = pathParts(i).join('/');
    if (!rel) return meta.root;
    return meta.root.endsWith('/') ? meta.root + rel : meta.root + '/' + rel;
  };
  const folderText = (i) => (i > 0 ? fullPath(parent[i]) : '');

  // ---- heading ----
  $('root-path').textContent = meta.root;
  document.title = T.directory + ' ' + meta.root;
  $('summary').textContent = fill(T.summary, timeText(meta.scanned, false),
    group(String(meta.directories)), group(String(meta.files)), group(meta.bytes));
  if (meta.errors.length) {
    $('errors').hidden = false;
    $('errors').open = meta.errors.length <= 10;
    $('errors-title').textContent = fill(T.errors, meta.errors.length);
    for (const err of meta.errors) {
      const li = document.createElement('li');
      li.textContent = err.path + ': ' + err.reason;
      $('errors-list').append(li);
    }
  }

  // ---- sorting ----
  const sortKeys = {
    name: (a, b) => { const x = nameOf(a), y = nameOf(b); return x < y ? -1 : x > y ? 1 : 0; },
    folder: (a, b) => { const x = folderText(a), y = folderText(b); return x < y ? -1 : x > y ? 1 : 0; },
    size: (a, b) => size[a] - size[b],
    files: (a, b) => fileCount[a] - fileCount[b],
    modified: (a, b) => mtime[a] - mtime[b],
    created: (a, b) => ctime[a] - ctime[b],
    accessed: (a, b) => atime[a] - atime[b],
    attributes: (a, b) => flags[a] - flags[b],
  };
  let sortKey = null, sortDir = 1, sortGen = 1;
  const compare = (a, b) => sortDir * sortKeys[sortKey](a, b) || a - b;
  const children = (d) => {
    const list = childOrder.subarray(childStart[d], childStart[d + 1]);
    if (sortedAt[d] !== sortGen) {
      sortedAt[d] = sortGen;
      if (sortKey) list.sort(compare);
      else list.set(childList.subarray(childStart[d], childStart[d + 1]));
    }
    return list;
  };

  // ---- the rows shown: the unfolded tree, or the search results ----
  const expanded = new Uint8Array(n);
  if (n) expanded[0] = 1;
  let rows = new Uint32Array(0);
  let searchRows = null; // the matches while a search is shown
  const table = $('table');
  const buildTreeRows = () => {
    const out = new Uint32Array(n);
    let count = 0;
    const stack = n ? [0] : [];
    while (stack.length) {
      const i = stack.pop();
      out[count++] = i;
      if (isDir(i) && expanded[i]) {
        const kids = children(i);
        for (let k = kids.length - 1; k >= 0; k--) stack.push(kids[k]);
      }
    }
    return out.subarray(0, count);
  };
  const refreshRows = () => {
    if (searchRows) {
      rows = sortKey ? Uint32Array.from(searchRows).sort(compare) : Uint32Array.from(searchRows);
    } else {
      rows = buildTreeRows();
    }
    table.classList.toggle('search', !!searchRows);
    layout();
  };

  // ---- the virtual list ----
  const scroller = $('scroller'), layer = $('layer'), spacer = $('spacer');
  const pool = [];
  let selected = n ? 0 : -1;
  let first = 0; // the row drawn at the top
  let pinnedTop = -1; // the scrollTop that the page set for a chosen first row
  const makeRow = () => {
    const row = document.createElement('div');
    row.className = 'row';
    row.setAttribute('role', 'treeitem');
    const nameCell = document.createElement('span');
    nameCell.className = 'c-name';
    const indent = document.createElement('span');
    const twisty = document.createElement('span');
    twisty.className = 'twisty';
    const nm = document.createElement('span');
    nm.className = 'nm';
    const warn = document.createElement('span');
    warn.className = 'warn';
    const bar = document.createElement('span');
    bar.className = 'bar';
    nameCell.append(indent, twisty, nm, warn, bar);
    const cells = ['c-folder', 'c-size', 'c-files', 'c-time', 'c-time', 'c-time', 'c-attr']
      .map((c) => { const s = document.createElement('span'); s.className = c; return s; });
    row.append(nameCell, ...cells);
    row.kwl = { indent, twisty, nm, warn, bar, cells, entry: -1 };
    row.addEventListener('click', (e) => onRowClick(row, e));
    layer.append(row);
    return row;
  };
  const scaled = () => rows.length * ROW > MAX_SPACER;
  const lastFirst = () => Math.max(0, rows.length - Math.floor(scroller.clientHeight / ROW));
  const layout = () => {
    const total = Math.min(rows.length * ROW, MAX_SPACER);
    // With the layer (100 %) the list is exactly as high as its rows, also where the box's
    // height is fractional and clientHeight rounds it: nothing can be scrolled into view
    // below the last row.
    spacer.style.height = 'calc(' + total + 'px - 100%)';
    const want = Math.ceil(scroller.clientHeight / ROW) + 1;
    while (pool.length < want) pool.push(makeRow());
    if (first > lastFirst()) first = lastFirst();
    pinnedTop = -1;
    draw(true);
  };
  const fillRow = (row, i) => {
    const r = row.kwl;
    r.entry = i;
    const dir = isDir(i);
    const kind = flags[i] & KIND;
    row.classList.toggle('dir', dir);
    row.classList.toggle('link', kind === LINK);
    r.indent.style.paddingLeft = searchRows ? '0' : (depth[i] * 16) + 'px';
    r.twisty.textContent = !dir ? '' : childStart[i + 1] > childStart[i] ? (expanded[i] ? '▾' : '▸') : '·';
    r.nm.textContent = nameOf(i);
    r.warn.textContent = flags[i] & UNREADABLE ? '⚠' : '';
    r.warn.title = flags[i] & UNREADABLE ? T.unreadable : '';
    const p = parent[i];
    r.bar.style.width = p < 0 ? '100%' : size[p] > 0 ? (size[i] / size[p] * 100).toFixed(2) + '%' : '0';
    const c = r.cells;
    c[0].textContent = searchRows ? folderText(i) : '';
    c[1].textContent = sizeText(i);
    c[2].textContent = dir ? group(String(fileCount[i])) : '';
    c[3].textContent = timeText(mtime[i], flags[i] & NO_MTIME);
    c[4].textContent = timeText(ctime[i], flags[i] & NO_CTIME);
    c[5].textContent = timeText(atime[i], flags[i] & NO_ATIME);
    c[6].textContent = attrText(i);
    if (dir && !searchRows) row.setAttribute('aria-expanded', expanded[i] ? 'true' : 'false');
    else row.removeAttribute('aria-expanded');
  };
  const draw = (refill) => {
    const top = scroller.scrollTop;
    let offset = 0;
    if (!scaled()) {
      first = Math.floor(top / ROW);
      offset = -(top % ROW);
    } else if (pinnedTop < 0 || Math.abs(top - pinnedTop) >= 1) {
      const max = scroller.scrollHeight - scroller.clientHeight;
      first = max > 0 ? Math.round(top / max * lastFirst()) : 0;
      pinnedTop = -1;
    }
    for (let k = 0; k < pool.length; k++) {
      const row = pool[k], i = first + k;
      if (i >= rows.length) { row.hidden = true; row.kwl.entry = -1; continue; }
      row.hidden = false;
      row.style.transform = 'translateY(' + (k * ROW + offset) + 'px)';
      if (refill || row.kwl.entry !== rows[i]) fillRow(row, rows[i]);
      row.classList.toggle('sel', rows[i] === selected);
    }
  };
  scroller.addEventListener('scroll', () => draw(false));
  new ResizeObserver(() => layout()).observe(scroller);

  const rowOf = (i) => rows.indexOf(i);
  const scrollToRow = (r) => {
    const visible = Math.max(1, Math.floor(scroller.clientHeight / ROW));
    if (!scaled()) {
      if (r * ROW < scroller.scrollTop) scroller.scrollTop = r * ROW;
      else if ((r + 1) * ROW > scroller.scrollTop + scroller.clientHeight)
        scroller.scrollTop = (r + 1) * ROW - scroller.clientHeight;
      draw(false);
      return;
    }
    if (r >= first && r < first + visible) { draw(false); return; }
    first = Math.min(lastFirst(), Math.max(0, r - (r < first ? 0 : visible - 1)));
    const max = scroller.scrollHeight - scroller.clientHeight;
    scroller.scrollTop = lastFirst() ? first / lastFirst() * max : 0;
    pinnedTop = scroller.scrollTop;
    draw(false);
  };

  // ---- selection, links, folding ----
  const linkOf = (i) => '#/' + pathParts(i).map(encodeURIComponent).join('/');
  const select = (i, updateLink = true) => {
    selected = i;
    const r = rowOf(i);
    if (r >= 0) scrollToRow(r);
    else draw(false);
    if (updateLink && !searchRows) {
      try { history.replaceState(null, '', linkOf(i)); } catch (e) { /* no history here */ }
    }
  };
  const toggle = (i, open) => {
    if (!isDir(i)) return;
    expanded[i] = open === undefined ? 1 - expanded[i] : open ? 1 : 0;
    refreshRows();
    select(i, false);
  };
  const reveal = (i) => {
    for (let p = parent[i]; p >= 0; p = parent[p]) expanded[p] = 1;
    searchRows = null;
    $('search').value = '';
    $('status').textContent = '';
    refreshRows();
    select(i);
  };
  const findPath = (hash) => {
    if (!hash.startsWith('#/') || !n) return -1;
    let i = 0;
    for (const part of hash.slice(2).split('/')) {
      if (!part) continue;
      let name;
      try { name = decodeURIComponent(part); } catch (e) { return -1; }
      const kids = childList.subarray(childStart[i], childStart[i + 1]);
      const k = kids.findIndex((c) => nameOf(c) === name);
      if (k < 0) return -1;
      i = kids[k];
    }
    return i;
  };
  const followLink = () => {
    const i = findPath(location.hash);
    if (i >= 0 && i !== selected) reveal(i);
  };
  window.addEventListener('hashchange', followLink);

  function onRowClick(row, e) {
    const i = row.kwl.entry;
    if (i < 0) return;
    if (searchRows) { reveal(i); scroller.focus(); return; }
    if (e.target === row.kwl.twisty || e.detail === 2) toggle(i);
    else select(i);
    scroller.focus();
  }

  // ---- search ----
  let searchJob = 0;
  // A name matches when the parts of the query between its "*" stand in it in that order
  // ("?" is any one character), in any case. The first place a part is found at is always
  // the best one, so each later part is found in a lookahead, which the engine never
  // backtracks into: no query takes long. Null for a query of "*" alone, which every name
  // matches; every other pattern matches at least one character, so the search moves on.
  const patternOf = (query) => {
    const parts = query.split('*').filter((part) => part)
      .map((part) => part.replace(/[\\^$.|+()[\]{}/]/g, '\\$&').replace(/\?/g, '[^\\n]'));
    if (!parts.length) return null;
    let source = parts[0];
    for (let k = 1; k < parts.length; k++) source += '(?=([^\\n]*?' + parts[k] + '))\\' + k;
    return new RegExp(source, 'giu');
  };
  // Finds the matching names in slices of a few milliseconds, showing the first ones at once.
  const search = (query) => {
    const job = ++searchJob;
    if (!query) {
      searchRows = null;
      $('status').textContent = '';
      $('status').dataset.done = '1';
      refreshRows();
      if (selected >= 0) select(selected, false);
      return;
    }
    const re = patternOf(query);
    const found = re ? [] : Array.from({ length: n }, (_, i) => i);
    let at = 0;
    $('status').dataset.done = '0';
    const step = () => {
      if (job !== searchJob) return;
      const until = performance.now() + 15;
      let done = !re;
      while (!done) {
        re.lastIndex = at;
        const m = re.exec(names);
        if (!m) { done = true; break; }
        let lo = 0, hi = n; // the entry whose name holds the match
        while (lo + 1 < hi) { const mid = (lo + hi) >> 1; if (nameStart[mid] <= m.index) lo = mid; else hi = mid; }
        found.push(lo);
        at = nameStart[lo + 1];
        if ((found.length & 63) === 0 && performance.now() > until) break;
      }
      searchRows = found;
      selected = -1;
      refreshRows();
      $('status').textContent = fill(done ? T.matches : T.searching, group(String(found.length)));
      if (done) $('status').dataset.done = '1';
      else setTimeout(step, 0);
    };
    scroller.scrollTop = 0;
    step();
  };
  let searchTimer = 0;
  $('search').addEventListener('input', () => {
    clearTimeout(searchTimer);
    searchTimer = setTimeout(() => search($('search').value), 120);
  });
  $('search').addEventListener('keydown', (e) => {
    if (e.key === 'Enter') { clearTimeout(searchTimer); search($('search').value); }
    else if (e.key === 'Escape') { $('search').value = ''; search(''); scroller.focus(); }
    else if (e.key === 'ArrowDown') { scroller.focus(); if (rows.length) select(rows[0]); e.preventDefault(); }
  });

  // ---- sorting by the column heads ----
  for (const btn of document.querySelectorAll('#head button')) {
    btn.addEventListener('click', () => {
      const key = btn.dataset.sort;
      if (sortKey === key) sortDir = -sortDir;
      else { sortKey = key; sortDir = key === 'name' || key === 'folder' ? 1 : -1; }
      sortGen++;
      for (const b of document.querySelectorAll('#head button'))
        b.dataset.dir = b === btn ? String(sortDir) : '';
      refreshRows();
      if (selected >= 0) select(selected, false);
    });
  }

  // ---- tools ----
  $('expand-all').addEventListener('click', () => {
    for (let i = 0; i < n; i++) if (isDir(i)) expanded[i] = 1;
    refreshRows();
  });
  $('collapse-all').addEventListener('click', () => {
    expanded.fill(0);
    if (n) expanded[0] = 1;
    refreshRows();
    if (selected > 0) { while (parent[selected] > 0) selected = parent[selected]; select(selected, false); }
  });
  $('copy-path').addEventListener('click', async () => {
    if (selected < 0) return;
    const text = fullPath(selected);
    try {
      await navigator.clipboard.writeText(text);
    } catch (e) {
      const area = document.createElement('textarea');
      area.value = text;
      document.body.append(area);
      area.select();
      document.execCommand('copy');
      area.remove();
    }
    $('status').textContent = T.copied;
  });
  // The text export's rule: a field that a spreadsheet would take for a formula (it begins
  // with = + - @, a tab or a carriage return, and is more than that one character) is quoted
  // with a leading apostrophe, so that it stays text; one that holds the separator, a quote
  // or a line break is quoted; quotes inside are doubled.
  const csvField = (s) => {
    const formula = s.length > 1 && /^[=+\-@\t\r]/.test(s);
    if (!formula && !/[",\r\n]/.test(s)) return s;
    return '"' + (formula ? "'" : '') + s.replace(/"/g, '""') + '"';
  };
  const csvText = () => {
    const head = [T.path, T.size, T.files, T.modified, T.created, T.accessed, T.attributes];
    const lines = [head.map(csvField).join(',')];
    for (const i of rows) {
      lines.push([fullPath(i), bigSize.has(i) ? bigSize.get(i) : String(size[i]),
        isDir(i) ? String(fileCount[i]) : '', timeText(mtime[i], flags[i] & NO_MTIME),
        timeText(ctime[i], flags[i] & NO_CTIME), timeText(atime[i], flags[i] & NO_ATIME),
        attrText(i)].map(csvField).join(','));
    }
    return lines.join('\r\n') + '\r\n';
  };
  $('export-csv').addEventListener('click', () => {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([csvText()], { type: 'text/csv;charset=utf-8' }));
    a.download = 'kwl.csv';
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  });

  // ---- keyboard ----
  scroller.addEventListener('keydown', (e) => {
    if (!rows.length) return;
    const r = Math.max(0, rowOf(selected));
    const page = Math.max(1, Math.floor(scroller.clientHeight / ROW) - 1);
    const go = (k) => select(rows[Math.min(rows.length - 1, Math.max(0, k))]);
    const i = selected;
    switch (e.key) {
      case 'ArrowDown': go(selected < 0 ? 0 : r + 1); break;
      case 'ArrowUp': go(r - 1); break;
      case 'PageDown': go(r + page); break;
      case 'PageUp': go(r - page); break;
      case 'Home': go(0); break;
      case 'End': go(rows.length - 1); break;
      case 'ArrowRight':
        if (i >= 0 && !searchRows && isDir(i)) {
          if (!expanded[i]) toggle(i, true);
          else if (childStart[i + 1] > childStart[i]) select(children(i)[0]);
        }
        break;
      case 'ArrowLeft':
        if (i >= 0 && !searchRows) {
          if (isDir(i) && expanded[i] && i !== 0) toggle(i, false);
          else if (parent[i] >= 0) select(parent[i]);
        }
        break;
      case 'Enter':
        if (i >= 0) { if (searchRows) reveal(i); else toggle(i); }
        break;
      case 'Backspace':
        if (i >= 0) { if (searchRows) reveal(i); else if (parent[i] >= 0) select(parent[i]); }
        break;
      default: return;
    }
    e.preventDefault();
  });
  document.addEventListener('keydown', (e) => {
    if (e.key === '/' && document.activeElement !== $('search')) {
      e.preventDefault();
      $('search').focus();
      $('search').select();
    }
  });

  $('loading').remove();
  table.hidden = false;
  refreshRows();
  const start = findPath(location.hash);
  if (start > 0) reveal(start);
  html.dataset.state = 'ready';
})();

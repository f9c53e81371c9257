#include "lists/WebPage.h"

// The page's markup, style and script. The style and the script are hashed into the page's
// Content-Security-Policy, so they must not change between the hashing and the page; the data replaces @DATA@
// last, so nothing in it is ever taken for a placeholder.
namespace webpage {

QByteArray pageTemplate()
{
    return QByteArrayLiteral(R"html(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="@POLICY@">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="color-scheme" content="light dark">
<meta name="referrer" content="no-referrer">
<title>コレクション</title>
<style>@STYLE@</style>
</head>
<body>
<header>
<h1>コレクション <small id="date"></small></h1>
<dl id="totals">
<div><dt>総冊数</dt><dd id="tot0"></dd></div><div><dt>収集冊数</dt><dd id="tot1"></dd></div>
<div><dt>残冊数</dt><dd id="tot2"></dd></div><div><dt>総刊数</dt><dd id="tot3"></dd></div>
<div><dt>完了</dt><dd id="tot4"></dd></div><div><dt>継続</dt><dd id="tot5"></dd></div>
</dl>
<div id="controls">
<input id="q" type="search" placeholder="題名・作者・雑誌で探す" aria-label="探す" autocomplete="off">
<select id="filter" aria-label="絞り込み"><option value="all">すべて</option><option value="missing">未収集あり</option><option value="complete">完了のみ</option></select>
<select id="sort" aria-label="並べ替え"><option value="order">表示順</option><option value="title">題名順</option><option value="author">作者順</option><option value="share">収集率の低い順</option></select>
</div>
<p id="count"></p>
</header>
<main id="list" role="list"></main>
<div id="detail" hidden><div id="box" role="dialog" aria-modal="true" aria-labelledby="dTitle">
<button id="close" type="button">閉じる</button>
<h2 id="dTitle"></h2><dl id="dFields"></dl><div id="dVols" class="chips"></div><pre id="dMemo" hidden></pre>
</div></div>
<noscript><p>このページを見るにはJavaScriptを有効にしてください。</p></noscript>
<script type="application/json" id="data">@DATA@</script>
<script>@SCRIPT@</script>
</body>
</html>
)html");
}

QByteArray pageStyle()
{
    return QByteArrayLiteral(R"css(
:root{--bg:#fff;--fg:#1a1a1a;--sub:#555;--line:#ddd;--card:#f4f4f4;--accent:#2a6f2a}
@media (prefers-color-scheme:dark){:root{--bg:#121212;--fg:#eee;--sub:#aaa;--line:#333;--card:#1e1e1e;--accent:#8fd08f}}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0;background:var(--bg);color:var(--fg);font:16px/1.4 system-ui,-apple-system,"Hiragino Sans","Noto Sans JP","IPAGothic",sans-serif}
header{padding:12px 12px 4px}
h1{font-size:20px;margin:0 0 8px}
h1 small{font-size:13px;font-weight:normal;color:var(--sub)}
#totals{display:grid;grid-template-columns:repeat(3,1fr);gap:6px;margin:0 0 10px}
#totals div{background:var(--card);border-radius:8px;padding:6px 8px}
#totals dt{font-size:12px;color:var(--sub)}
#totals dd{margin:0;font-size:18px;font-weight:bold}
@media (min-width:700px){#totals{grid-template-columns:repeat(6,1fr)}}
#controls{display:flex;flex-wrap:wrap;gap:6px}
#controls input{flex:1 1 100%;min-width:0;font-size:16px;padding:10px;border:1px solid var(--line);border-radius:8px;background:var(--bg);color:var(--fg)}
#controls select{flex:1 1 40%;font-size:16px;min-height:44px;padding:6px;border:1px solid var(--line);border-radius:8px;background:var(--bg);color:var(--fg)}
@media (min-width:700px){#controls input{flex:2 1 300px}#controls select{flex:0 1 180px}}
#count{font-size:13px;color:var(--sub);margin:6px 0 0}
#list{position:relative;margin:0 12px 24px}
.row{position:absolute;left:0;right:0;padding:8px 0;border-bottom:1px solid var(--line);overflow:hidden;cursor:pointer}
.t{display:flex;gap:8px;height:24px;line-height:24px;font-size:17px;font-weight:bold}
.tt{flex:1;min-width:0;overflow:hidden;white-space:nowrap;text-overflow:ellipsis}
.n{flex:none;font-size:14px;color:var(--accent)}
.s{height:18px;line-height:18px;font-size:13px;color:var(--sub);overflow:hidden;white-space:nowrap;text-overflow:ellipsis}
.chips{display:flex;flex-wrap:wrap;gap:3px;margin-top:4px}
.c{width:34px;height:22px;line-height:22px;font-size:12px;text-align:center;border-radius:4px;color:#000;background:#c0ffc0;overflow:hidden}
.c.m{background:#ffc0ff}
.c.o{background:#000;color:#fff;outline:1px solid #777;outline-offset:-1px}
#detail{position:fixed;inset:0;background:rgba(0,0,0,.45);display:flex;align-items:flex-start;justify-content:center;overflow:auto;padding:12px}
#detail[hidden]{display:none}
#box{background:var(--bg);color:var(--fg);border-radius:12px;padding:16px;width:100%;max-width:640px}
#close{float:right;font-size:16px;min-height:44px;min-width:64px;border-radius:8px;border:1px solid var(--line);background:var(--card);color:var(--fg)}
#box h2{font-size:19px;margin:8px 0 12px;overflow-wrap:anywhere}
#dFields{display:grid;grid-template-columns:auto 1fr;gap:4px 12px;margin:0 0 12px}
#dFields dt{color:var(--sub)}
#dFields dd{margin:0;overflow-wrap:anywhere}
#dMemo{white-space:pre-wrap;overflow-wrap:anywhere;font:inherit;background:var(--card);padding:8px;border-radius:8px}
)css");
}

QByteArray pageScript()
{
    return QByteArrayLiteral(R"js(
'use strict';
(function () {
const A = '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_';
const CHIP = 34, GAP = 3, LINE = 22, BASE = 8 + 24 + 18 + 8 + 1, MIN_ROWS = 150, MARGIN = 600;
const $ = (id) => document.getElementById(id);
const D = JSON.parse($('data').textContent);
const N = D.n;
const col = (s) => (N ? s.split('\n') : []);
const T = col(D.t), AU = col(D.a), MG = col(D.m);
const R = D.r.d ? Array.from(D.r.c, (c) => D.r.d[A.indexOf(c)]) : col(D.r.s);
const V = col(D.v);
const cnt = new Int32Array(N), start = new Int32Array(N), miss = new Array(N), oth = new Array(N);
for (let i = 0; i < N; i++) {
  const v = V[i];
  let p = 1;
  if (v[0] === '!') { p = v.indexOf('!', 1) + 1; cnt[i] = parseInt(v.slice(1, p - 1), 10); } else cnt[i] = A.indexOf(v[0]);
  let rest = v.slice(p);
  const plus = rest.indexOf('+');
  if (plus >= 0) { start[i] = parseInt(rest.slice(plus + 1), 10); rest = rest.slice(0, plus); }
  const dot = rest.indexOf('.');
  miss[i] = dot >= 0 ? rest.slice(0, dot) : rest;
  oth[i] = dot >= 0 ? rest.slice(dot + 1) : '';
}
const shown = (i) => Math.max(0, Math.min(50, cnt[i]));
const owned = (i) => cnt[i] - miss[i].length;
const pad = (n, w) => String(n).padStart(w, '0');
function date(i, k) {
  const at = 2 * i + k, s = D.d.substr(at * 3, 3);
  const code = A.indexOf(s[0]) * 4096 + A.indexOf(s[1]) * 64 + A.indexOf(s[2]);
  if (code === 0) return '';
  if (code === 1) return D.dx[at] || '';
  const d = new Date(Date.UTC(1800, 0, 1) + (code - 2) * 86400000);
  return pad(d.getUTCFullYear(), 4) + '/' + pad(d.getUTCMonth() + 1, 2) + '/' + pad(d.getUTCDate(), 2);
}
function states(i) {
  const st = new Uint8Array(shown(i) + 1);
  for (const c of miss[i]) st[A.indexOf(c)] = 1;
  for (const c of oth[i]) st[A.indexOf(c)] = 2;
  return st;
}
function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}
function chips(i) {
  const box = el('div', 'chips'), st = states(i);
  for (let k = 1; k < st.length; k++) box.appendChild(el('span', st[k] === 1 ? 'c m' : st[k] === 2 ? 'c o' : 'c', String(k + start[i])));
  return box;
}
const norm = (s) => s.normalize('NFKC').toLowerCase();
let hay = null;
function matches(i, words) {
  if (!hay) hay = new Array(N);
  if (hay[i] === undefined) hay[i] = norm(T[i] + '\n' + AU[i] + '\n' + MG[i]);
  return words.every((w) => hay[i].includes(w));
}
const list = $('list');
let view = [], tops = new Float64Array(1), perLine = 1, rendered = new Map();
function rebuild() {
  const words = norm($('q').value).split(/\s+/).filter(Boolean);
  const f = $('filter').value, s = $('sort').value;
  view = [];
  for (let i = 0; i < N; i++) {
    if (f === 'missing' && !miss[i].length) continue;
    if (f === 'complete' && miss[i].length) continue;
    if (words.length && !matches(i, words)) continue;
    view.push(i);
  }
  if (s !== 'order') {
    const coll = new Intl.Collator('ja');
    const share = (i) => (cnt[i] > 0 ? owned(i) / cnt[i] : 1);
    const by = s === 'title' ? (a, b) => coll.compare(T[a], T[b]) : s === 'author' ? (a, b) => coll.compare(AU[a], AU[b])
      : (a, b) => share(a) - share(b);
    view.sort((a, b) => by(a, b) || a - b);
  }
  $('count').textContent = view.length + ' / ' + N + ' 件';
  layout();
}
function layout() {
  perLine = Math.max(1, Math.floor((list.clientWidth + GAP) / (CHIP + GAP)));
  tops = new Float64Array(view.length + 1);
  for (let j = 0; j < view.length; j++) {
    const lines = Math.ceil(shown(view[j]) / perLine);
    tops[j + 1] = tops[j] + BASE + (lines ? 4 + lines * LINE + (lines - 1) * GAP : 0);
  }
  list.style.height = tops[view.length] + 'px';
  for (const e of rendered.values()) e.remove();
  rendered.clear();
  draw();
}
function firstBelow(y) {
  let lo = 0, hi = view.length;
  while (lo < hi) { const mid = (lo + hi) >> 1; if (tops[mid + 1] <= y) lo = mid + 1; else hi = mid; }
  return lo;
}
function row(j) {
  const i = view[j], r = el('div', 'row');
  r.setAttribute('role', 'listitem');
  r.dataset.i = i;
  r.style.top = tops[j] + 'px';
  r.style.height = tops[j + 1] - tops[j] + 'px';
  const t = el('div', 't');
  t.append(el('span', 'tt', T[i]), el('span', 'n', owned(i) + '/' + cnt[i]));
  const f = date(i, 0), l = date(i, 1);
  const sub = [AU[i], MG[i], R[i], f || l ? f + '〜' + l : ''].filter(Boolean).join(' ・ ');
  r.append(t, el('div', 's', sub));
  if (shown(i)) r.appendChild(chips(i));
  return r;
}
function draw() {
  const top = list.getBoundingClientRect().top;
  const from = firstBelow(-top - MARGIN);
  const to = Math.min(view.length, Math.max(firstBelow(-top + innerHeight + MARGIN) + 1, from + MIN_ROWS));
  for (const [j, e] of rendered) if (j < from || j >= to) { e.remove(); rendered.delete(j); }
  const add = document.createDocumentFragment();
  for (let j = from; j < to; j++) if (!rendered.has(j)) { const e = row(j); rendered.set(j, e); add.appendChild(e); }
  list.appendChild(add);
}
let pending = false;
function soon(fn) { if (!pending) { pending = true; requestAnimationFrame(() => { pending = false; fn(); }); } }
function openDetail(i) {
  $('dTitle').textContent = T[i];
  const dl = $('dFields');
  dl.replaceChildren();
  const f = date(i, 0), l = date(i, 1);
  for (const [k, v] of [['作者', AU[i]], ['雑誌', MG[i]], ['評価', R[i]], ['初刊', f], ['最新刊', l],
    ['収集', owned(i) + ' / ' + cnt[i] + ' 冊']]) dl.append(el('dt', '', k), el('dd', '', v));
  $('dVols').replaceWith(Object.assign(chips(i), { id: 'dVols' }));
  const memo = D.memo ? D.memo[i] : '';
  $('dMemo').hidden = !memo;
  $('dMemo').textContent = memo || '';
  $('detail').hidden = false;
  $('close').focus();
}
function closeDetail() { $('detail').hidden = true; }
function fromHash() {
  const p = new URLSearchParams(location.hash.slice(1));
  if (p.has('q')) $('q').value = p.get('q');
  if (p.has('f')) $('filter').value = p.get('f');
  if (p.has('s')) $('sort').value = p.get('s');
}
$('date').textContent = D.date ? D.date + ' 現在' : '';
D.totals.forEach((v, k) => { $('tot' + k).textContent = String(v); });
list.addEventListener('click', (e) => { const r = e.target.closest('.row'); if (r) openDetail(Number(r.dataset.i)); });
$('close').addEventListener('click', closeDetail);
$('detail').addEventListener('click', (e) => { if (e.target === $('detail')) closeDetail(); });
document.addEventListener('keydown', (e) => { if (e.key === 'Escape') closeDetail(); });
$('q').addEventListener('input', () => soon(rebuild));
$('filter').addEventListener('change', rebuild);
$('sort').addEventListener('change', rebuild);
addEventListener('scroll', () => soon(draw), { passive: true });
addEventListener('resize', () => soon(layout));
addEventListener('hashchange', () => { fromHash(); rebuild(); });
fromHash();
rebuild();
// When the first screen was drawn, in milliseconds since the page began to load.
document.body.dataset.drawnMs = String(Math.round(performance.now()));
})();
)js");
}

} // namespace webpage
